#pragma once

#include "platform/window/dialog_template.h"

class QWidget;

namespace platform::window {

// Gives the layer's windows the accessible interfaces that Qt's own do not: dialogs that offer
// only what they show, group boxes as groups, static texts as labels, lamps as status
// indicators, progress controls with the value and description set for them, and each window's
// notification. Every other window keeps Qt's interface. Installed once, before the first window is
// made (CreateNativeWindow); later calls do nothing.
void InstallAccessibleFactory();

// Applies a template's accessibility to the dialog built from it: names, descriptions and roles
// of its controls, and the order Tab walks them in.
void ApplyAccessibility(const DialogAccessibilityTemplate& accessibility, QWidget* dialog);

}  // namespace platform::window
