#pragma once

// <windows.h> first, then the parts the framework uses besides (common controls, common dialogs,
// device controls). NOMINMAX and the target version come from the build.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <winioctl.h>

// The old macro of this name would rename CTime::GetCurrentTime.
#undef GetCurrentTime
