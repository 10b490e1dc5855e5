#include "widgets/progress_meter.h"

#include <algorithm>

#include "platform/window/accessibility.h"
#include "platform/window/wnd_class.h"
#include "widgets/progress_meter_geometry.h"

namespace {

// WS_CHILD | WS_VISIBLE with SS_BITMAP | SS_CENTERIMAGE, which the meter's class ignores.
constexpr DWORD kMeterStyle = 0x5000020E;
constexpr UINT kRefreshPeriodMs = 500;

}  // namespace

BEGIN_MESSAGE_MAP(ProgressMeter, CStatic)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_TIMER()
END_MESSAGE_MAP()

ProgressMeter::ProgressMeter(CWnd* anchor, int upper, CBitmap* tiles, bool reversed, CWnd* textWnd,
                             const char* prefix, int textMode)
    : anchor(anchor), textWnd(textWnd) {
    CRect placement;
    if (!GetPlacement(placement)) {
        return;
    }
    const LPCTSTR className =
        AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_WAIT), nullptr, HICON{});
    if (!CreateEx(WS_EX_STATICEDGE, className, "", kMeterStyle, placement, anchor->GetParent(),
                  Identity())) {
        return;
    }
    // A screen reader reads the anchor beneath as the progress bar, with this meter's position.
    platform::window::HideFromAccessibility(*this);
    vertical = placement.Height() > placement.Width();
    if (textWnd != nullptr) {
        textWnd->GetWindowText(savedCaption);
    }

    shownText.clear();
    placedRect.SetRectEmpty();
    if (!PrepareTiles(tiles, false)) {
        return;
    }
    this->textMode = textMode;
    lower = 0;
    this->upper = upper;
    startPos = 0;
    pos = 0;
    SetRange(0, upper, false, false);
    this->prefix = prefix != nullptr ? prefix : "";
    this->reversed = reversed;
    RestartTiming(false);
    SetTimer(Identity(), kRefreshPeriodMs);
    Refresh();
}

ProgressMeter::~ProgressMeter() {
    if (IsWindow(GetSafeHwnd())) {
        ModifyStyle(WS_VISIBLE, 0, 0);
        DestroyWindow();
    }
    if (textWnd != nullptr && IsWindow(textWnd->GetSafeHwnd())) {
        textWnd->SetWindowText(savedCaption);
    }
    if (anchor != nullptr && IsWindow(anchor->GetSafeHwnd())) {
        anchor->Invalidate(TRUE);
    }
}

bool ProgressMeter::GetPlacement(CRect& placement) const {
    if (anchor == nullptr || !IsWindow(anchor->GetSafeHwnd()) || anchor->GetParent() == nullptr) {
        return false;
    }
    anchor->GetWindowRect(&placement);
    anchor->GetParent()->ScreenToClient(&placement);
    return true;
}

bool ProgressMeter::SetRange(int newLower, int newUpper, bool rescale, bool redraw) {
    if (!IsWindow(GetSafeHwnd())) {
        return false;
    }
    if (rescale) {
        const int64_t oldSpan = int64_t{upper} - lower;
        const int64_t newSpan = int64_t{newUpper} - newLower;
        startPos = newLower + static_cast<int>(
                                  meter::ScaleBySpan(int64_t{startPos} - lower, newSpan, oldSpan));
        pos =
            newLower + static_cast<int>(meter::ScaleBySpan(int64_t{pos} - lower, newSpan, oldSpan));
    }
    lower = newLower;
    upper = newUpper;
    if (redraw) {
        Refresh();
    }
    return true;
}

int ProgressMeter::SetPos(int p, bool redraw) {
    if (!IsWindow(GetSafeHwnd())) {
        return 0;
    }
    p = std::min(p, upper);
    p = std::max(p, lower);
    p = std::max(p, startPos);
    const int old = pos;
    pos = p;
    if (redraw) {
        Refresh();
    }
    return old;
}

int ProgressMeter::RestartTiming(bool redraw) {
    if (!IsWindow(GetSafeHwnd())) {
        return 0;
    }
    GetLocalTime(&startTime);
    FILETIME stamp;
    if (SystemTimeToFileTime(&startTime, &stamp)) {
        startStamp = FileTimeToUInt64(stamp);
    }
    return SetPos(lower, redraw);
}

bool ProgressMeter::UpdateGeometry(CRect* client) {
    CRect rect;
    GetClientRect(&rect);
    if (client != nullptr) {
        *client = rect;
    }
    const int length = vertical ? rect.Height() : rect.Width();
    const meter::BarPixels bar =
        meter::ComputeBarPixels(length, TileLength(), lower, upper, startPos, pos, reversed);
    startPx = bar.startPx;
    posPx = bar.posPx;
    trackEnd = bar.trackEnd;
    return !(drawnTrackEnd == trackEnd && drawnPosPx == posPx && drawnStartPx == startPx);
}

BOOL ProgressMeter::OnEraseBkgnd(CDC* dc) {
    const BOOL result = CStatic::OnEraseBkgnd(dc);
    Refresh();
    return result;
}

void ProgressMeter::OnTimer(UINT_PTR id) {
    if (id == Identity()) {
        Refresh();
    }
    CStatic::OnTimer(id);
}
