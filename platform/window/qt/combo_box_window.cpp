#include "platform/window/qt/combo_box_window.h"

#include "platform/window/window_styles.h"

namespace platform::window {

ComboBoxWindow::ComboBoxWindow(const CreateParams& params, QWidget* parentWidget)
    : WindowHost<QComboBox>(params, parentWidget) {
    setEditable((style_ & 0x3) == CBS_DROPDOWN);
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
}

}  // namespace platform::window
