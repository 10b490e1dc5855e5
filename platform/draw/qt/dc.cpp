#include "platform/draw/dc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/font_data.h"
#include "platform/draw/qt/icon_data.h"
#include "platform/draw/qt/paint_target.h"
#include "platform/draw/qt/qt_convert.h"
#include "platform/draw/qt/text_layout.h"

using platform::draw::BeginPainter;
using platform::draw::CurrentQFont;
using platform::draw::DeviceOf;
using platform::draw::FromQRgb;
using platform::draw::ToQColor;

namespace {

// The image behind dc's surface; null when it draws on something else or on nothing.
const QImage* SourceImage(const CDC& dc) {
    QPaintDevice* device = DeviceOf(dc);
    if (device == nullptr || device->devType() != QInternal::Image) {
        return nullptr;
    }
    return static_cast<const QImage*>(device);
}

}  // namespace

CDC::CDC() : target_(std::make_unique<platform::draw::PaintTarget>()) {}

CDC::~CDC() = default;

HDC CDC::GetSafeHdc() const {
    return const_cast<CDC*>(this);
}

CDC* CDC::FromHandle(HDC hdc) {
    return hdc;
}

bool CDC::CreateCompatibleDC(CDC* /*reference*/) {
    if (memory_) {
        return false;
    }
    defaultBitmap_ = std::make_unique<CBitmap>();
    defaultBitmap_->CreateCompatibleBitmap(nullptr, 1, 1);
    memory_ = true;
    target_->device = nullptr;
    state_.bitmap = defaultBitmap_.get();
    return true;
}

bool CDC::DeleteDC() {
    if (!memory_) {
        return false;
    }
    memory_ = false;
    state_ = State{};
    saved_.clear();
    defaultBitmap_.reset();
    return true;
}

bool CDC::HasTarget() const {
    return DeviceOf(*this) != nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!memory_ || bitmap == nullptr || !*bitmap) {
        return nullptr;
    }
    return std::exchange(state_.bitmap, bitmap);
}

CFont* CDC::SelectObject(CFont* font) {
    if (font == nullptr) {
        return nullptr;
    }
    CFont* previous = state_.font;
    if (previous == nullptr) {
        if (!defaultFont_) {
            defaultFont_ = std::make_unique<CFont>();
            platform::draw::SetQFont(*defaultFont_, QGuiApplication::font());
        }
        previous = defaultFont_.get();
    }
    state_.font = font;
    return previous;
}

CGdiObject* CDC::SelectStockObject(int stockId) {
    if (stockId != NULL_BRUSH && stockId != WHITE_BRUSH) {
        return nullptr;
    }
    if (!defaultBrush_) {
        defaultBrush_ = std::make_unique<CBrush>(WHITE_BRUSH);
        nullBrush_ = std::make_unique<CBrush>(NULL_BRUSH);
    }
    CGdiObject* previous = state_.brush != nullptr ? state_.brush : defaultBrush_.get();
    state_.brush = stockId == NULL_BRUSH ? nullBrush_.get() : defaultBrush_.get();
    return previous;
}

int CDC::SaveDC() {
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool CDC::RestoreDC(int savedLevel) {
    if (savedLevel == -1) {
        savedLevel = static_cast<int>(saved_.size());
    }
    if (savedLevel < 1 || savedLevel > static_cast<int>(saved_.size())) {
        return false;
    }
    state_ = saved_[static_cast<size_t>(savedLevel - 1)];
    saved_.resize(static_cast<size_t>(savedLevel - 1));
    return true;
}

int CDC::SetBkMode(int mode) {
    return std::exchange(state_.bkMode, mode);
}
COLORREF CDC::SetBkColor(COLORREF colour) {
    return std::exchange(state_.bkColour, colour);
}
COLORREF CDC::SetTextColor(COLORREF colour) {
    return std::exchange(state_.textColour, colour);
}
int CDC::SetStretchBltMode(int mode) {
    return std::exchange(state_.stretchMode, mode);
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
        case BITSPIXEL:
            return 32;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    SetBkColor(colour);
    if (rect.IsRectEmpty()) {
        return;
    }
    if (auto painter = BeginPainter(*this)) {
        painter->fillRect(platform::draw::ToQRect(rect), ToQColor(colour));
    }
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                 uint32_t rop) {
    if (source == nullptr || rop != SRCCOPY || width < 0 || height < 0) {
        return false;
    }
    const QImage* from = SourceImage(*source);
    if (from == nullptr) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;  // nothing to copy (QImage::copy would take an empty rectangle as "all")
    }
    // Copy first: source and destination may be the same bitmap.
    const QImage piece = from->copy(xSrc, ySrc, width, height);
    auto painter = BeginPainter(*this);
    if (!painter) {
        return false;
    }
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(QPoint(x, y), piece);
    return true;
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, uint32_t rop) {
    if (source == nullptr || rop != SRCCOPY || width <= 0 || height <= 0 || srcWidth <= 0 ||
        srcHeight <= 0) {
        return false;
    }
    const QImage* from = SourceImage(*source);
    if (from == nullptr) {
        return false;
    }
    const Qt::TransformationMode mode =
        state_.stretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation;
    const QImage piece = from->copy(xSrc, ySrc, srcWidth, srcHeight)
                             .convertToFormat(QImage::Format_RGB32)
                             .scaled(width, height, Qt::IgnoreAspectRatio, mode);
    auto painter = BeginPainter(*this);
    if (!painter) {
        return false;
    }
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(QPoint(x, y), piece);
    return true;
}

COLORREF CDC::GetPixel(int x, int y) const {
    const QImage* image = SourceImage(*this);
    if (image == nullptr || !image->valid(x, y)) {
        return CLR_INVALID;
    }
    return FromQRgb(image->pixel(x, y));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    QPaintDevice* device = DeviceOf(*this);
    if (device == nullptr) {
        return CLR_INVALID;
    }
    if (device->devType() == QInternal::Image) {
        auto* image = static_cast<QImage*>(device);
        if (!image->valid(x, y)) {
            return CLR_INVALID;
        }
        image->setPixel(x, y, ToQColor(colour).rgb());
        return FromQRgb(image->pixel(x, y));
    }
    auto painter = BeginPainter(*this);
    if (!painter) {
        return CLR_INVALID;
    }
    painter->setPen(ToQColor(colour));
    painter->drawPoint(x, y);
    return colour;
}

int CDC::DrawText(std::string_view text, CRect* rect, uint32_t format) {
    if (rect == nullptr) {
        return 0;
    }
    QPaintDevice* device = DeviceOf(*this);
    const QFont font = CurrentQFont(*this);
    const QFontMetrics metrics =
        device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    const platform::draw::TextLayout layout = platform::draw::LayOutText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), metrics, rect->Width(),
        format);
    const int lineHeight = metrics.height();
    const int textHeight = lineHeight * static_cast<int>(layout.lines.size());

    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + layout.width;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }
    auto painter = BeginPainter(*this);
    if (!painter || layout.lines.empty()) {
        return textHeight;
    }
    if ((format & DT_NOCLIP) == 0) {
        painter->setClipRect(platform::draw::ToQRect(*rect));
    }
    painter->setFont(font);
    painter->setPen(ToQColor(state_.textColour));

    int top = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0) {
            top = rect->top + (rect->Height() - lineHeight) / 2;
        } else if ((format & DT_BOTTOM) != 0) {
            top = rect->bottom - lineHeight;
        }
    }
    for (const platform::draw::TextLine& line : layout.lines) {
        int left = rect->left;
        if ((format & DT_CENTER) != 0) {
            left = rect->left + (rect->Width() - line.width) / 2;
        } else if ((format & DT_RIGHT) != 0) {
            left = rect->right - line.width;
        }
        if (state_.bkMode == OPAQUE) {
            painter->fillRect(QRect(left, top, line.width, lineHeight), ToQColor(state_.bkColour));
        }
        painter->drawText(QPoint(left, top + metrics.ascent()), line.text);
        if (line.mnemonic >= 0) {
            const int from = left + metrics.horizontalAdvance(line.text.left(line.mnemonic));
            const int to = from + metrics.horizontalAdvance(line.text.mid(line.mnemonic, 1));
            const int underline = top + metrics.ascent() + metrics.underlinePos();
            painter->drawLine(from, underline, to - 1, underline);
        }
        top += lineHeight;
    }
    return textHeight;
}

CSize CDC::GetTextExtent(std::string_view text) const {
    QPaintDevice* device = DeviceOf(*this);
    const QFont font = CurrentQFont(*this);
    const QFontMetrics metrics =
        device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {metrics.horizontalAdvance(s), metrics.height()};
}

bool CDC::DrawIcon(int x, int y, const HICON& icon) {
    const QImage image = IconImage(icon, 32);
    if (image.isNull()) {
        return false;
    }
    auto painter = BeginPainter(*this);
    if (!painter) {
        return false;
    }
    painter->drawImage(QPoint(x, y), image);
    return true;
}
