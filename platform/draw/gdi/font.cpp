#include "platform/draw/font.h"

#include "platform/draw/gdi/font_data.h"
#include "platform/draw/gdi/paint_target.h"

namespace platform::draw {

HFONT FontHandle(const CFont& font) {
    return font.Data() != nullptr ? font.Data()->font : nullptr;
}

void SetFontHandle(CFont& font, HFONT handle, bool owned) {
    auto data = std::make_unique<FontData>();
    data->font = handle;
    data->owned = owned;
    font.SetData(std::move(data));
}

}  // namespace platform::draw

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreatePointFont(int pointSizeTenths, const char* faceName) {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(pointSizeTenths, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    const std::wstring face = platform::draw::Widen(faceName != nullptr ? faceName : "");
    HFONT font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    platform::draw::SetFontHandle(*this, font, true);
    return font != nullptr;
}

void CFont::SetData(std::unique_ptr<platform::draw::FontData> data) {
    data_ = std::move(data);
}
