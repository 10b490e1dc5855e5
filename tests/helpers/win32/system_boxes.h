#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "system_defs/windows_h.h"

// The system's boxes the program opens (message boxes, the Open and Save dialogs), read and
// answered as a user would: by their texts and by clicking their buttons.
namespace test_helpers {

// What a message box showed.
struct MessageBoxSeen {
    bool shown = false;
    std::string title;
    std::string text;
    std::string details;               // its details section, empty when there is none
    std::vector<std::string> buttons;  // in order, e.g. "&Yes", "&No"
    std::string defaultButton;
    std::string focus;            // the text of the control with the focus
    HICON icon = nullptr;         // the icon it shows, null for none
    COLORREF background = 0;      // its client area's colour as painted, beside the buttons
    COLORREF textBackground = 0;  // the background the box gives its text
    COLORREF textColour = 0;      // and the text's colour
};

// Answers the next message box by clicking the button of answer (IDYES, IDNO, IDOK, IDCANCEL);
// whileOpen runs first, while the box shows. What the box showed is in the returned record once
// it opened.
std::shared_ptr<MessageBoxSeen> AnswerNextMessageBox(int answer,
                                                     std::function<void()> whileOpen = nullptr);

// What a file dialog showed.
struct FileDialogSeen {
    bool shown = false;
    std::string title;
    std::string proposedName;  // the text in the file-name field when it opened
};

// Types path into the next file dialog's name field and clicks its Open (Save) button.
std::shared_ptr<FileDialogSeen> AnswerNextFileDialog(const std::string& path);
// Clicks Cancel in the next file dialog.
std::shared_ptr<FileDialogSeen> CancelNextFileDialog();

// Whether hwnd is a dialog box of the system's dialog class (message boxes, file dialogs and the
// program's own dialogs are).
bool IsDialogBox(HWND hwnd);
// The colour of the pixel at the client point of hwnd, as painted now.
COLORREF PixelOf(HWND hwnd, POINT client);

}  // namespace test_helpers
