#include "platform/window/qt/combo_box_widget.h"

#include "platform/window/window_styles.h"

namespace platform::window {

ComboBoxWidget::ComboBoxWidget(const CreateParams& params, QWidget* parentWidget)
    : NativeWidget<QComboBox>(params, parentWidget) {
    setEditable((style_ & 0x3) == CBS_DROPDOWN);
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
}

}  // namespace platform::window
