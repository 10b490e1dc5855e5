// The main window's set-up, its window-level messages and its destruction.
#include "ui/main_dialog.h"

#include "platform/window/data_exchange.h"
#include "platform/window/menu.h"
#include "platform/window/paint_dc.h"
#include "platform/window/string_resources.h"
#include "platform/window/system_metrics.h"
#include "platform/window/win_app.h"
#include "resources/resource_ids.h"
#include "ui/about_dialog.h"

namespace {

constexpr COLORREF kLogColour = 0x00E4F4D3;
constexpr int kLampFrameWidth = 15;

}  // namespace

BEGIN_MESSAGE_MAP(MainDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_BROWSE_CREATE, OnBrowseCreateImage)
ON_BN_CLICKED(IDC_STOP_COPY, OnStop)
ON_BN_CLICKED(IDC_START_COPY, OnStartCopy)
ON_BN_CLICKED(IDC_BROWSE_RESTORE, OnBrowseRestoreImage)
ON_BN_CLICKED(IDC_STOP_RESTORE, OnStop)
ON_BN_CLICKED(IDC_START_RESTORE, OnStartRestore)
END_MESSAGE_MAP()

MainDialog::MainDialog(platform::storage::StorageServices& storage, CWnd* parent)
    : CDialog(IDD_MAIN_DIALOG, parent), DiskImager(storage) {
    appIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

MainDialog::~MainDialog() {
    abortRequested = true;
    ClearDrives();
    meter.reset();
    meterTiles.reset();
}

void MainDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MESSAGE_LIST, messageList);
    DDX_Control(dx, IDC_TARGET_DRIVE, targetDriveCombo);
    DDX_Control(dx, IDC_PROGRESS, progressCtrl);
    DDX_Control(dx, IDC_SOURCE_DRIVE, sourceDriveCombo);
    DDX_Text(dx, IDC_CREATE_PATH, createImagePath);
    DDX_Text(dx, IDC_RESTORE_PATH, restoreImagePath);
    DDX_Control(dx, IDC_BUSY_LAMP, busyLamp);
    DDX_Control(dx, IDC_READY_LAMP, readyLamp);
}

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetUpSystemMenu();
    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);
    SetUpMessageList();

    busyLamp.LoadFrames(IDB_BUSY_LAMP, kLampFrameWidth);
    busyLamp.SetState(1);
    readyLamp.LoadFrames(IDB_READY_LAMP, kLampFrameWidth);
    readyLamp.SetState(0);

    RefreshDriveLists();

    meterAnchor = &progressCtrl;
    meterTiles = std::make_unique<CBitmap>();
    meterTiles->LoadBitmap(IDB_METER_TILES);
    meterTextWnd = GetDlgItem(IDC_METER_TEXT);
    return TRUE;
}

void MainDialog::SetUpSystemMenu() {
    CMenu* systemMenu = GetSystemMenu(FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    std::string aboutText;
    platform::window::LoadString(IDS_ABOUTBOX, aboutText);
    if (!aboutText.empty()) {
        systemMenu->AppendMenu(MF_SEPARATOR);
        systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
    }
}

void MainDialog::SetUpMessageList() {
    CRect rect;
    messageList.GetWindowRect(&rect);
    const int width = rect.right - rect.left;
    messageList.DeleteAllItems();
    messageList.InsertColumn(0, "Messages", LVCFMT_CENTER, width - 6, 0);
    messageList.SetBkColor(kLogColour);
    messageList.SetTextBkColor(kLogColour);
    messageList.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void MainDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void MainDialog::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - cx + 1) / 2;
    const int y = (client.Height() - cy + 1) / 2;
    dc.DrawIcon(x, y, appIcon);
}

HICON MainDialog::OnQueryDragIcon() {
    return appIcon;
}

void MainDialog::OnOK() {
    if (transferRunning) {
        closePending = true;
        pendingCloseResult = IDOK;
        return;
    }
    CDialog::OnOK();
}

void MainDialog::OnCancel() {
    if (transferRunning) {
        closePending = true;
        pendingCloseResult = IDCANCEL;
        return;
    }
    CDialog::OnCancel();
}
