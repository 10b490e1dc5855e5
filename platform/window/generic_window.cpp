#include "platform/window/generic_window.h"

namespace platform::window {

GenericWindow::GenericWindow(const CreateParams& params, const WndClassInfo& info,
                             QWidget* parentWidget)
    : WindowHost<QWidget>(params, parentWidget) {
    setCursor(ToQCursor(info.cursor));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

}  // namespace platform::window
