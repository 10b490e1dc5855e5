#pragma once

#include <string>

#include "platform/window/dialog_template.h"

namespace platform::window {

// The controls of the application's message box.
inline constexpr int kMessageBoxIcon = 20;
inline constexpr int kMessageBoxText = 0xFFFF;
inline constexpr int kMessageBoxDetails = 21;
inline constexpr int kMessageBoxDetailsToggle = 22;
// The identifier its template is registered under while it runs.
inline constexpr unsigned kMessageBoxTemplateId = 0x7F01;

// The box's answer buttons for type (MB_OK ... MB_YESNOCANCEL), in order.
std::vector<int> MessageBoxAnswers(UINT type);
// The system's icon for type's MB_ICON bits (IDI_EXCLAMATION ...); 0 for none.
WORD MessageBoxIconId(UINT type);

// The template of a box for text (lines broken at "\n" and wrapped), titled caption, laid out
// in the dialog font for its text: the type's icon at the left, the text beside it, the details
// under both (a read-only text field; none when details is empty), then a row of the answer
// buttons at the right and, with details, the button that folds them at the left.
DialogTemplate MessageBoxTemplate(const std::string& caption, const std::string& text, UINT type,
                                  const std::string& details);

}  // namespace platform::window
