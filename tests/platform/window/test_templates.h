#pragma once

#include "platform/window/dialog_template.h"

// Dialog templates the window tests build dialogs from.
inline constexpr unsigned kSampleDialogId = 9001;  // the main window's kinds of control
inline constexpr unsigned kSmallDialogId = 9002;   // OK only
inline constexpr unsigned kBrokenDialogId = 9003;  // an identifier used twice

// Registers the templates (once).
void RegisterTestTemplates();
