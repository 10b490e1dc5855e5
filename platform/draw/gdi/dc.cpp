#include "platform/draw/dc.h"

#include <map>

#include "platform/draw/gdi/font_data.h"
#include "platform/draw/gdi/paint_target.h"

namespace {

// The live contexts by their handles, for CDC::FromHandle.
std::map<HDC, CDC*>& Contexts() {
    static std::map<HDC, CDC*> contexts;
    return contexts;
}

}  // namespace

namespace platform::draw {

void AttachHdc(CDC& dc, HDC hdc) {
    HDC old = dc.GetSafeHdc();
    if (old != nullptr) {
        Contexts().erase(old);
    }
    dc.Target().hdc = hdc;
    if (hdc != nullptr) {
        Contexts()[hdc] = &dc;
    }
}

}  // namespace platform::draw

CDC::CDC() : target_(std::make_unique<platform::draw::PaintTarget>()) {}

CDC::~CDC() {
    DeleteDC();
    if (target_->hdc != nullptr) {
        Contexts().erase(target_->hdc);
    }
}

HDC CDC::GetSafeHdc() const {
    return target_->hdc;
}

CDC* CDC::FromHandle(HDC hdc) {
    auto it = Contexts().find(hdc);
    return it != Contexts().end() ? it->second : nullptr;
}

bool CDC::CreateCompatibleDC(CDC* reference) {
    if (memory_) {
        return false;
    }
    HDC hdc = ::CreateCompatibleDC(reference != nullptr ? reference->GetSafeHdc() : nullptr);
    if (hdc == nullptr) {
        return false;
    }
    platform::draw::AttachHdc(*this, hdc);
    memory_ = true;
    // The context's own 1 x 1 bitmap stands for "nothing selected"; it belongs to the context.
    defaultBitmap_ = std::make_unique<CBitmap>();
    defaultBitmap_->Attach(static_cast<HBITMAP>(::GetCurrentObject(hdc, OBJ_BITMAP)));
    state_.bitmap = defaultBitmap_.get();
    return true;
}

bool CDC::DeleteDC() {
    if (!memory_) {
        return false;
    }
    HDC hdc = target_->hdc;
    ::SelectObject(hdc, defaultBitmap_->GetSafeHandle());
    defaultBitmap_->Detach();
    platform::draw::AttachHdc(*this, nullptr);
    ::DeleteDC(hdc);
    memory_ = false;
    state_ = State{};
    saved_.clear();
    defaultBitmap_.reset();
    return true;
}

bool CDC::HasTarget() const {
    return target_->hdc != nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!memory_ || bitmap == nullptr || !*bitmap) {
        return nullptr;
    }
    if (::SelectObject(target_->hdc, bitmap->GetSafeHandle()) == nullptr) {
        return nullptr;
    }
    CBitmap* old = state_.bitmap;
    state_.bitmap = bitmap;
    return old;
}

CFont* CDC::SelectObject(CFont* font) {
    if (!defaultFont_) {
        defaultFont_ = std::make_unique<CFont>();
    }
    CFont* old = state_.font != nullptr ? state_.font : defaultFont_.get();
    if (font == nullptr) {
        return old;
    }
    HFONT handle = platform::draw::FontHandle(*font);
    if (handle != nullptr && target_->hdc != nullptr) {
        HGDIOBJ previous = ::SelectObject(target_->hdc, handle);
        if (state_.font == nullptr) {
            platform::draw::SetFontHandle(*defaultFont_, static_cast<HFONT>(previous), false);
        }
    }
    state_.font = font;
    return old;
}

CGdiObject* CDC::SelectStockObject(int stockId) {
    if (!defaultBrush_) {
        defaultBrush_ = std::make_unique<CBrush>(WHITE_BRUSH);
        nullBrush_ = std::make_unique<CBrush>(NULL_BRUSH);
    }
    CGdiObject* old = state_.brush != nullptr ? state_.brush : defaultBrush_.get();
    if (target_->hdc != nullptr) {
        ::SelectObject(target_->hdc, ::GetStockObject(stockId));
    }
    state_.brush = stockId == NULL_BRUSH ? nullBrush_.get() : defaultBrush_.get();
    return old;
}

int CDC::SaveDC() {
    if (target_->hdc != nullptr) {
        ::SaveDC(target_->hdc);
    }
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool CDC::RestoreDC(int savedLevel) {
    const int level = savedLevel == -1 ? static_cast<int>(saved_.size()) : savedLevel;
    if (level < 1 || level > static_cast<int>(saved_.size())) {
        return false;
    }
    if (target_->hdc != nullptr) {
        ::RestoreDC(target_->hdc, level - static_cast<int>(saved_.size()) - 1);
    }
    state_ = saved_[static_cast<size_t>(level - 1)];
    saved_.resize(static_cast<size_t>(level - 1));
    return true;
}

int CDC::SetBkMode(int mode) {
    const int old = state_.bkMode;
    state_.bkMode = mode;
    if (target_->hdc != nullptr) {
        ::SetBkMode(target_->hdc, mode);
    }
    return old;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    const COLORREF old = state_.bkColour;
    state_.bkColour = colour;
    if (target_->hdc != nullptr) {
        ::SetBkColor(target_->hdc, colour);
    }
    return old;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    const COLORREF old = state_.textColour;
    state_.textColour = colour;
    if (target_->hdc != nullptr) {
        ::SetTextColor(target_->hdc, colour);
    }
    return old;
}

int CDC::SetStretchBltMode(int mode) {
    const int old = state_.stretchMode;
    state_.stretchMode = mode;
    if (target_->hdc != nullptr) {
        ::SetStretchBltMode(target_->hdc, mode);
        // HALFTONE wants the brush origin set afterwards.
        ::SetBrushOrgEx(target_->hdc, 0, 0, nullptr);
    }
    return old;
}

int CDC::GetDeviceCaps(int index) const {
    if (target_->hdc != nullptr) {
        return ::GetDeviceCaps(target_->hdc, index);
    }
    HDC screen = ::GetDC(nullptr);
    const int value = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return value;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    SetBkColor(colour);
    if (target_->hdc != nullptr) {
        const RECT r = rect;
        ::ExtTextOutW(target_->hdc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                 uint32_t rop) {
    if (source == nullptr || target_->hdc == nullptr || source->GetSafeHdc() == nullptr) {
        return false;
    }
    return ::BitBlt(target_->hdc, x, y, width, height, source->GetSafeHdc(), xSrc, ySrc, rop) !=
           FALSE;
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, uint32_t rop) {
    if (source == nullptr || target_->hdc == nullptr || source->GetSafeHdc() == nullptr) {
        return false;
    }
    return ::StretchBlt(target_->hdc, x, y, width, height, source->GetSafeHdc(), xSrc, ySrc,
                        srcWidth, srcHeight, rop) != FALSE;
}

COLORREF CDC::GetPixel(int x, int y) const {
    return target_->hdc != nullptr ? ::GetPixel(target_->hdc, x, y) : CLR_INVALID;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    return target_->hdc != nullptr ? ::SetPixel(target_->hdc, x, y, colour) : CLR_INVALID;
}

int CDC::DrawText(std::string_view text, CRect* rect, uint32_t format) {
    if (rect == nullptr) {
        return 0;
    }
    HDC hdc = target_->hdc;
    const bool measuring = hdc == nullptr;
    if (measuring) {
        hdc = ::GetDC(nullptr);
        if (state_.font != nullptr && platform::draw::FontHandle(*state_.font) != nullptr) {
            ::SelectObject(hdc, platform::draw::FontHandle(*state_.font));
        }
        format |= DT_CALCRECT;
    }
    std::wstring wide = platform::draw::Widen(text);
    RECT r = *rect;
    const int height = ::DrawTextW(hdc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
    if (format & DT_CALCRECT) {
        *rect = r;
    }
    if (measuring) {
        ::ReleaseDC(nullptr, hdc);
    }
    return height;
}

CSize CDC::GetTextExtent(std::string_view text) const {
    HDC hdc = target_->hdc;
    const bool measuring = hdc == nullptr;
    HGDIOBJ old = nullptr;
    if (measuring) {
        hdc = ::GetDC(nullptr);
        if (state_.font != nullptr && platform::draw::FontHandle(*state_.font) != nullptr) {
            old = ::SelectObject(hdc, platform::draw::FontHandle(*state_.font));
        }
    }
    std::wstring wide = platform::draw::Widen(text);
    SIZE size{};
    ::GetTextExtentPoint32W(hdc, wide.c_str(), static_cast<int>(wide.size()), &size);
    if (measuring) {
        if (old != nullptr) {
            ::SelectObject(hdc, old);
        }
        ::ReleaseDC(nullptr, hdc);
    }
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

bool CDC::DrawIcon(int x, int y, const HICON& icon) {
    return target_->hdc != nullptr && icon != nullptr &&
           ::DrawIcon(target_->hdc, x, y, icon) != FALSE;
}
