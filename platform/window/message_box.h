#pragma once

#include <string>

#include "platform/window/win_types.h"
#include "system_defs/window_constants.h"

// Shows text ("\n" breaks lines) in a modal box titled with the application's name, with the
// buttons, icon and default button of type, in the application's dialog colours. Returns the
// answer: IDOK, IDCANCEL, IDYES or IDNO.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The same box with details: a section under the text, open when the box appears, that a
// "Hide Details..." button beside the answer buttons folds away. No details: no section.
int AfxMessageBox(const char* text, UINT type, UINT helpId, const std::string& details);
inline int AfxMessageBox(const std::string& text, UINT type = MB_OK, UINT helpId = 0) {
    return AfxMessageBox(text.c_str(), type, helpId);
}
