#pragma once

#include "platform/window/dialog_template.h"

// What a screen reader is told of the main window's controls (template 102) beyond their
// captions: the names its labels give them on screen, the lamps as status indicators, the meter's
// text line as the progress bar's description, and the order Tab walks them in.
DialogAccessibilityTemplate MainDialogAccessibility();
