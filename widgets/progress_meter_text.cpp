#include <cctype>

#include "platform/draw/dc.h"
#include "platform/window/accessibility.h"
#include "platform/window/client_dc.h"
#include "widgets/progress_meter.h"
#include "widgets/progress_meter_fit.h"
#include "widgets/progress_meter_geometry.h"
#include "widgets/progress_meter_timing.h"

namespace {

// Measures texts with a device context's current font.
class DcTextMeasure final : public meter::TextMeasure {
  public:
    explicit DcTextMeasure(CDC* dc) : dc_(dc) {}
    int TextWidth(std::string_view text) const override { return dc_->GetTextExtent(text).cx; }

  private:
    CDC* dc_;
};

void TrimLeft(std::string& text) {
    size_t n = 0;
    while (n < text.size() && std::isspace(static_cast<unsigned char>(text[n]))) {
        ++n;
    }
    text.erase(0, n);
}

}  // namespace

bool ProgressMeter::Refresh() {
    if (!IsWindow(GetSafeHwnd())) {
        return false;
    }
    CRect placement;
    if (!GetPlacement(placement)) {
        return false;
    }
    const std::string result = textWnd != nullptr ? ComposeText() : std::string();

    if (IsWindowVisible()) {
        if (placedRect != placement && placement.Width() >= 3 && placement.Height() >= 3) {
            placedRect = placement;
            MoveWindow(placement, TRUE);
            Invalidate(TRUE);
        } else if (UpdateGeometry(nullptr)) {
            Invalidate(TRUE);
        }
    }

    if (textWnd != nullptr && result != shownText) {
        textWnd->SetWindowText(result);
        shownText = result;
    }
    platform::window::SetAccessibleValue(*anchor, pos, lower, upper);
    return true;
}

std::string ProgressMeter::ComposeText() {
    if (!textWnd->IsWindowVisible()) {
        composedKey.clear();
        return " ";
    }
    CRect target;
    textWnd->GetWindowRect(&target);
    const int available = target.Width();
    const int mode = textMode < 0 ? -textMode : textMode;
    std::string percent;
    if (mode >= 1) {
        percent = textMode > 0 ? " (" : " ";
        percent += std::to_string(meter::PercentDone(pos, lower, upper));
        percent += textMode > 0 ? "%)" : "%";
    }
    std::string timing;
    if (mode >= 2) {
        FormatTiming(timing);
    }
    // Measuring is the costly part; the same pieces in the same width fit the same way.
    std::string key = percent + '\n' + timing + '\n' + std::to_string(available);
    if (key == composedKey) {
        return shownText;
    }
    composedKey = std::move(key);

    CClientDC dc(textWnd);
    CFont* oldFont = dc.SelectObject(textWnd->GetFont());
    const int timingWidth = timing.empty() ? 0 : dc.GetTextExtent(timing).cx;
    const int margin = 2 * dc.GetTextExtent(" ").cx;
    std::string result = prefix;
    switch (mode) {
        case 1:
            FitText(result, &dc, available, dc.GetTextExtent(percent).cx + margin);
            result += percent;
            break;
        case 2:
            FitText(result, &dc, available, timingWidth + margin);
            result += timing;
            break;
        case 3:
            if (FitText(result, &dc, available, timingWidth + margin) == 0) {
                result += timing;
            } else {
                // No room for the time text beside the prefix: show the percentage.
                result = prefix;
                percent += "...";
                FitText(result, &dc, available, dc.GetTextExtent(percent).cx + margin);
                result += percent;
            }
            break;
        default:
            FitText(result, &dc, available, margin);
            break;
    }
    dc.SelectObject(oldFont);
    TrimLeft(result);
    if (result.empty()) {
        result = " ";
    }
    return result;
}

int ProgressMeter::FitText(std::string& text, CDC* dc, int available, int reserved) {
    const DcTextMeasure measure(dc);
    return meter::FitTextToWidth(text, measure, available, reserved);
}

void ProgressMeter::FormatTiming(std::string& out) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME nowStamp;
    SystemTimeToFileTime(&now, &nowStamp);

    meter::TimingState state;
    state.startTime = startTime;
    state.startStamp = startStamp;
    state.startPos = startPos;
    state.pos = pos;
    state.lower = lower;
    state.upper = upper;
    state.textMode = textMode;
    out = meter::FormatTimingText(state, now, FileTimeToUInt64(nowStamp));
}
