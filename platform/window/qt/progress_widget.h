#pragma once

#include <QProgressBar>

#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "msctls_progress32" class: a bar without text, range 0 to 100 at creation.
class ProgressWidget : public NativeWidget<QProgressBar> {
  public:
    ProgressWidget(const CreateParams& params, QWidget* parentWidget)
        : NativeWidget<QProgressBar>(params, parentWidget) {
        setTextVisible(false);
        setRange(0, 100);
        setValue(0);
    }
    QMargins NonClientInsets() const override { return {}; }

  protected:
    bool DispatchesPaint() const override { return false; }
    void ClassPaint(QPaintEvent* event) override { QProgressBar::paintEvent(event); }
};

}  // namespace platform::window
