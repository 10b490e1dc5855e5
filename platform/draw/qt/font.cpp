#include "platform/draw/font.h"

#include <QGuiApplication>

#include "platform/draw/qt/font_data.h"

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreatePointFont(int pointSizeTenths, const char* faceName) {
    QFont font(faceName != nullptr ? QString::fromUtf8(faceName) : QString());
    font.setPointSizeF(pointSizeTenths / 10.0);
    platform::draw::SetQFont(*this, font);
    return true;
}

void CFont::SetData(std::unique_ptr<platform::draw::FontData> data) {
    data_ = std::move(data);
}

namespace platform::draw {

QFont QFontOf(const CFont& font) {
    return font.Data() != nullptr ? font.Data()->font : QGuiApplication::font();
}

void SetQFont(CFont& font, const QFont& qfont) {
    font.SetData(std::make_unique<FontData>(FontData{qfont}));
}

}  // namespace platform::draw
