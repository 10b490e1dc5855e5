#pragma once

#include <QLineEdit>

#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "Edit" class: one line, scrolling horizontally, with a frame when WS_BORDER or an edge
// is set. Qt draws it; its text is the window text.
class EditWidget : public NativeWidget<QLineEdit> {
  public:
    EditWidget(const CreateParams& params, QWidget* parentWidget);

    std::string Text() const override { return text().toStdString(); }
    void SetText(const std::string& text) override { setText(QString::fromUtf8(text)); }
    QMargins NonClientInsets() const override { return {}; }

  protected:
    bool DispatchesPaint() const override { return false; }
    void ClassPaint(QPaintEvent* event) override { QLineEdit::paintEvent(event); }
};

}  // namespace platform::window
