#include "widgets/lamp_button.h"

#include <string>

#include "platform/draw/image_loader.h"
#include "platform/draw/sys_colors.h"
#include "platform/window/accessibility.h"

BEGIN_MESSAGE_MAP(LampButton, CButton)
END_MESSAGE_MAP()

LampButton::LampButton() : indent(20), originX(0), originY(0), state(0) {}

LampButton::~LampButton() = default;

void LampButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    // BS_OWNERDRAW covers the check-box bits: no check mark, no toggling on a click.
    ModifyStyle(0, BS_OWNERDRAW);
    CRect r;
    GetClientRect(&r);
    originY = r.top + static_cast<int>((r.bottom - r.top + 1) * 0.5);
    TellState();
}

void LampButton::LoadFrames(uint16_t id, int frameWidthPx) {
    if (strip.bitmapHandle) {
        // A second load replaces the first; the old bitmap is deselected before it goes.
        strip.memDC.SelectObject(strip.previousObject);
        strip.previousObject = nullptr;
        strip.bitmap.Detach();
        DeleteObject(strip.bitmapHandle);
    }
    strip.bitmapHandle = LoadImage(AfxGetResourceHandle(), id, IMAGE_BITMAP, 0, 0,
                                   LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
    if (strip.bitmapHandle) {
        strip.bitmap.Attach(strip.bitmapHandle);
        strip.frameWidth = frameWidthPx;
        strip.bitmap.GetObject(sizeof(BITMAP), &strip.bitmapInfo);
        strip.frameHeight = strip.bitmapInfo.bmHeight;
        strip.previousObject = strip.memDC.SelectObject(&strip.bitmap);
    }
    originX = 1;
    originY = originY - strip.frameHeight / 2;
    if (indent < strip.frameWidth) {
        indent = strip.frameWidth + 5;
    }
}

int LampButton::SetState(int newState) {
    if (newState != state) {
        state = newState;
        if (GetSafeHwnd() != nullptr) {
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            TellState();
        }
    }
    return state;
}

void LampButton::TellState() {
    platform::window::SetAccessibleState(*this, state != 0 ? "lit" : "unlit");
}

void LampButton::DrawItem(LPDRAWITEMSTRUCT item) {
    CDC* dc = item != nullptr ? CDC::FromHandle(item->hDC) : nullptr;
    if (dc == nullptr || item->itemAction != ODA_DRAWENTIRE) {
        return;
    }
    const CRect rect = item->rcItem;
    const int saved = dc->SaveDC();

    dc->SelectStockObject(NULL_BRUSH);
    dc->FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
    dc->BitBlt(originX, originY, strip.frameWidth, strip.frameHeight, &strip.memDC,
               state != 0 ? strip.frameWidth : 0, 0, SRCCOPY);

    std::string caption;
    GetWindowText(caption);
    CRect c;
    GetClientRect(&c);
    CRect t(c.left + indent, c.top, c.right - 2, c.bottom);
    if (!caption.empty()) {
        dc->SetBkMode(TRANSPARENT);
        dc->DrawText(caption, &t, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        const int h = t.bottom - t.top;
        const int free = (c.bottom - c.top) - h;
        t.top = c.top + static_cast<int>((free + 1) * 0.5);
        t.bottom = t.top + h;
        dc->DrawText(caption, &t, DT_WORDBREAK | DT_NOPREFIX);
    }
    dc->RestoreDC(saved);
}
