#pragma once

#include <QComboBox>

#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "ComboBox" class: CBS_DROPDOWN gives an editable field, CBS_DROPDOWNLIST a plain list.
// The closed box takes the height its font needs; the template's height is the list's.
class ComboBoxWidget : public NativeWidget<QComboBox> {
  public:
    ComboBoxWidget(const CreateParams& params, QWidget* parentWidget);

    std::string Text() const override { return currentText().toStdString(); }
    QMargins NonClientInsets() const override { return {}; }

  protected:
    bool DispatchesPaint() const override { return false; }
    void ClassPaint(QPaintEvent* event) override { QComboBox::paintEvent(event); }
};

}  // namespace platform::window
