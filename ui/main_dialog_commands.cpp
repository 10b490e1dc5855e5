// The operator's commands and the busy/idle switch of the controls.
#include "platform/clock/ctime.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "resources/resource_ids.h"
#include "ui/drive_details_text.h"
#include "ui/main_dialog.h"

namespace {

constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
// The images a restore reads: plain, compressed, or the one file of a zip archive. Listing "*.img"
// among them lets the first view of the Open dialog show them all.
constexpr char kRestoreImageFilter[] = "Images|*.img;*.img.xz;*.img.gz;*.img.bz2;*.img.zst;*.zip||";
constexpr UINT kConfirmStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

// The controls the busy switch disables, in the order it switches them.
constexpr int kOperatorControls[] = {
    IDC_START_COPY,   IDC_START_RESTORE,  IDC_CREATE_PATH,  IDC_BROWSE_CREATE,
    IDC_SOURCE_DRIVE, IDC_BROWSE_RESTORE, IDC_TARGET_DRIVE, IDC_RESTORE_PATH,
};

std::string DevicePath(const PhysicalDriveEntry& entry) {
    return std::string(platform::storage::kDevicePathPrefix) + entry.name;
}

}  // namespace

void MainDialog::OnBrowseCreateImage() {
    chosenCreatePath = "";
    const std::string stamp = CTime::GetCurrentTime().Format("%d%b%Y_%H%M%S");
    const std::string proposed = "img" + stamp + ".img";
    CFileDialog dialog(FALSE, nullptr, proposed.c_str(), kFileDialogFlags, nullptr, nullptr);
    if (dialog.DoModal() == IDOK) {
        chosenCreatePath = dialog.GetPathName();
        createImagePath = chosenCreatePath;
        UpdateData(FALSE);
    }
}

void MainDialog::OnBrowseRestoreImage() {
    chosenRestorePath = "";
    CFileDialog dialog(TRUE, "*.img", "*.img", kFileDialogFlags, kRestoreImageFilter, nullptr);
    if (dialog.DoModal() == IDOK) {
        chosenRestorePath = dialog.GetPathName();
        restoreImagePath = chosenRestorePath;
        UpdateData(FALSE);
    }
}

PhysicalDriveEntry* MainDialog::SelectedEntry(CComboBox& combo) const {
    const int selection = combo.GetCurSel();
    if (selection == CB_ERR) {
        return nullptr;
    }
    return static_cast<PhysicalDriveEntry*>(combo.GetItemDataPtr(selection));
}

void MainDialog::OnStartRestore() {
    PhysicalDriveEntry* entry = SelectedEntry(targetDriveCombo);
    if (entry == nullptr) {
        return;
    }
    SetControlsIdle(false);
    const std::string question = "All of the data on logical disk(s) " + entry->volumeList +
                                 " will be erased\n       Are you sure???";
    const std::string details = DriveDetailsText(*entry, DescribePhysicalDrive(entry->name));
    if (AfxMessageBox(question.c_str(), kConfirmStyle, 0, details) == IDYES) {
        RunTransfer([&] { RestoreImage(chosenRestorePath, DevicePath(*entry), entry->totalKB); });
    }
    SetControlsIdle(true);
    CloseIfRequested();
}

void MainDialog::OnStartCopy() {
    SetControlsIdle(false);
    if (PhysicalDriveEntry* entry = SelectedEntry(sourceDriveCombo)) {
        RunTransfer([&] { CreateImage(DevicePath(*entry), chosenCreatePath, entry->totalKB); });
    }
    SetControlsIdle(true);
    CloseIfRequested();
}

void MainDialog::OnStop() {
    abortRequested = true;
    if (meter) {
        meter->SetPos(0, TRUE);
    }
}

void MainDialog::SetControlsIdle(bool idle) {
    readyLamp.SetState(idle ? 1 : 0);
    busyLamp.SetState(idle ? 0 : 1);
    UpdateData(FALSE);
    for (int id : kOperatorControls) {
        if (CWnd* control = GetDlgItem(id)) {
            control->EnableWindow(idle);
        }
    }
    UpdateData(FALSE);
}

void MainDialog::CloseIfRequested() {
    if (closePending) {
        closePending = false;
        EndDialog(pendingCloseResult);
    }
}
