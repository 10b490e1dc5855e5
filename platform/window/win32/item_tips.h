#pragma once

#include <string>

#include "system_defs/windows_h.h"

// Tooltips for the items of a control, shown by a system tooltip control of its own: a list
// view's rows, and a combo box's entries (over its open list) and the box itself while closed
// (the selected entry's tip, then a blank line and the box's own).
namespace platform::window {

// The tip of item (-1: the control's own) of a list view or combo box; empty for none.
void SetItemTip(HWND control, int item, const std::string& text);
std::string ItemTip(HWND control, int item);

// Forgets the tips of the items (not the control's own): its items are gone.
void ForgetEntryTips(HWND control);

// Answers a request of a control's tooltip for its text (TTN_GETDISPINFOW, sent to the control):
// the tip of what lies under the pointer. False when the notification is none of these.
bool AnswerTipRequest(HWND control, LPARAM notification);

// Forgets the tips of a control whose window ends.
void ForgetItemTips(HWND control);

}  // namespace platform::window
