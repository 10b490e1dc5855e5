// The engine's reports: rows of the message log and a fresh progress meter per transfer; a screen
// reader hears each new row and the start of a restore's read-back as they come.
#include "platform/clock/ctime.h"
#include "platform/window/accessibility.h"
#include "ui/main_dialog.h"

namespace {

constexpr char kReadBackStarts[] = "Written. Reading the drive back to check it";
constexpr char kReadBackEnded[] = "Read-back ended: ";

}  // namespace

void MainDialog::ReportError(std::string text) {
    const std::string stamp = CTime::GetCurrentTime().Format("%H:%M:%S ");
    ReportMessage(stamp + " Error: " + text);
}

void MainDialog::ReportMessage(std::string text) {
    const int n = messageList.GetItemCount();
    messageList.InsertItem(LVIF_TEXT, n, "", 0, 0, 0, 0);
    messageList.SetItemText(n, 0, text.c_str());
    // The row keeps the engine's text; the pointer resting on it shows what lies behind it.
    if (!reportDetail.empty()) {
        messageList.SetItemToolTip(n, reportDetail);
    }
    messageList.EnsureVisible(n, TRUE);
    messageList.SetSelectionMark(n);
    messageList.SetHotItem(n);
    messageList.Update(n);
    // The row that ends a read-back ends it for the listener too, in one announcement, so the
    // second does not cut the first short.
    platform::window::Announce(*this, readingBack ? kReadBackEnded + text : text);
    readingBack = false;
}

bool MainDialog::SetProgressRange(int32_t upper) {
    // A restore runs the meter twice: the write, then the read-back of what was written.
    if (transferRunning && ++rangesInTransfer == 2) {
        readingBack = true;
        platform::window::Announce(*this, kReadBackStarts);
    }
    meter.reset();
    meter = std::make_unique<ProgressMeter>(meterAnchor, upper, meterTiles.get(), false,
                                            meterTextWnd, nullptr, 2);
    return true;
}

bool MainDialog::SetProgressPos(int32_t pos) {
    // The engine reports before every 2 KB block, mostly the same thousandth again; the meter's
    // own timer keeps the time text running, so only a new position needs the meter.
    if (meter && meter->GetPos() != pos) {
        meter->SetPos(pos, TRUE);
    }
    return true;
}
