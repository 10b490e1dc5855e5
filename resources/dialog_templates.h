#pragma once

#include "platform/window/dialog_template.h"

// The program's dialog templates: 100, the About box, and 102, the main window.
const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& MainDialogTemplate();

// Registers both with the window layer, so CDialog finds them by id.
void RegisterDialogTemplates();
