#pragma once

// Identifiers of the program's resources and of the main window's controls.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_BUSY_LAMP = 130;
inline constexpr int IDB_READY_LAMP = 131;
inline constexpr int IDB_METER_TILES = 132;

inline constexpr int IDC_PROGRESS = 1001;
inline constexpr int IDC_MESSAGE_LIST = 1002;
inline constexpr int IDC_START_COPY = 1004;
inline constexpr int IDC_START_RESTORE = 1005;
inline constexpr int IDC_STOP_COPY = 1006;
inline constexpr int IDC_STOP_RESTORE = 1007;
inline constexpr int IDC_SOURCE_DRIVE = 1008;
inline constexpr int IDC_BROWSE_CREATE = 1010;
inline constexpr int IDC_CREATE_PATH = 1011;
inline constexpr int IDC_TARGET_DRIVE = 1012;
inline constexpr int IDC_RESTORE_PATH = 1013;
inline constexpr int IDC_BROWSE_RESTORE = 1014;
inline constexpr int IDC_BUSY_LAMP = 1015;
inline constexpr int IDC_READY_LAMP = 1016;
inline constexpr int IDC_METER_TEXT = 1018;

inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
