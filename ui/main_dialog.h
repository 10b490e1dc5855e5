#pragma once

#include <memory>
#include <string>

#include "platform/draw/bitmap.h"
#include "platform/draw/icon.h"
#include "platform/window/combo_box.h"
#include "platform/window/dialog.h"
#include "platform/window/list_ctrl.h"
#include "platform/window/progress_ctrl.h"
#include "transfer/disk_imager.h"
#include "widgets/lamp_button.h"
#include "widgets/progress_meter.h"

// The main window: a dialog on template 102 that is also the transfer engine. Its reports become
// rows of the message log and a fresh progress meter per transfer.
class MainDialog : public CDialog, public DiskImager {
  public:
    explicit MainDialog(platform::storage::StorageServices& storage, CWnd* parent = nullptr);
    ~MainDialog() override;

    // Reports of the engine.
    void ReportError(std::string text) override;
    void ReportMessage(std::string text) override;
    bool SetProgressRange(int32_t upper) override;
    bool SetProgressPos(int32_t pos) override;

    // Scans the drives and offers every drive of at most 2 GB in both drive lists; the target
    // list's tooltip tells why each other disk is not offered.
    void RefreshDriveLists();
    // Idle: lamps green, operator controls enabled; busy: lamps red, controls disabled.
    void SetControlsIdle(bool idle);

    // Closing is held back while a transfer runs; the window closes once it has returned.
    void OnOK() override;
    void OnCancel() override;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnBrowseCreateImage();
    void OnStop();
    void OnStartCopy();
    void OnBrowseRestoreImage();
    void OnStartRestore();

    DECLARE_MESSAGE_MAP()

  public:
    std::string chosenCreatePath;
    std::string chosenRestorePath;
    LampButton readyLamp;
    LampButton busyLamp;
    std::unique_ptr<ProgressMeter> meter;
    CWnd* meterAnchor = nullptr;
    std::unique_ptr<CBitmap> meterTiles;
    CWnd* meterTextWnd = nullptr;
    CListCtrl messageList;
    CComboBox targetDriveCombo;
    CProgressCtrl progressCtrl;
    CComboBox sourceDriveCombo;
    std::string createImagePath;
    std::string restoreImagePath;
    HICON appIcon;

  private:
    void SetUpMessageList();
    void SetUpSystemMenu();
    PhysicalDriveEntry* SelectedEntry(CComboBox& combo) const;
    // Runs one transfer with the close request held back until it returns.
    template <typename Transfer>
    void RunTransfer(Transfer transfer) {
        transferRunning = true;
        rangesInTransfer = 0;
        transfer();
        transferRunning = false;
        readingBack = false;
    }
    // Ends the dialog if a close arrived while a transfer ran.
    void CloseIfRequested();

    bool transferRunning = false;
    int rangesInTransfer = 0;  // progress ranges the running transfer has announced
    bool readingBack = false;  // a restore's read-back runs and has not reported its end
    int pendingCloseResult = 0;
    bool closePending = false;
};
