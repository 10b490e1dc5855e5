#pragma once

class QPalette;
class QWidget;

namespace platform::window {

// The widget a new modal box belongs to: the active modal window, else the main window's.
QWidget* ModalParentWidget();
// The application's dialog colours applied to palette (window background and text).
void ApplyDialogColours(QPalette& palette);

}  // namespace platform::window
