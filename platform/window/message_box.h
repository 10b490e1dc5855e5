#pragma once

#include <string>

#include "platform/window/win_types.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;

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
