#pragma once

#include <QWidget>

#include "platform/window/qt/native_widget.h"
#include "platform/window/wnd_class_registry.h"

namespace platform::window {

// A window of a class registered with AfxRegisterWndClass: it paints nothing itself; without a
// background brush the erase leaves the background to the window's own painting. A child of
// such a class paints all of its area, so the windows beneath it are not painted first.
class GenericWidget : public NativeWidget<QWidget> {
  public:
    GenericWidget(const CreateParams& params, const WndClassInfo& info, QWidget* parentWidget);

  protected:
    void ClassPaint(QPaintEvent*) override {}
};

}  // namespace platform::window
