// The engine's reports: rows of the message log and a fresh progress meter per transfer.
#include "platform/clock/ctime.h"
#include "ui/main_dialog.h"

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
}

bool MainDialog::SetProgressRange(int32_t upper) {
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
