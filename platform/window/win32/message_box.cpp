#include "platform/window/message_box.h"

#include "platform/window/win32/message_box_dialog.h"

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    return AfxMessageBox(text, type, helpId, std::string());
}

int AfxMessageBox(const char* text, UINT type, UINT, const std::string& details) {
    platform::window::MessageBoxDialog box(text != nullptr ? text : "", type, details);
    return static_cast<int>(box.DoModal());
}
