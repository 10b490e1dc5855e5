#include "platform/window/qt/edit_window.h"

#include "platform/window/window_styles.h"

namespace platform::window {

EditWindow::EditWindow(const CreateParams& params, QWidget* parentWidget)
    : WindowHost<QLineEdit>(params, parentWidget) {
    setFrame((style_ & WS_BORDER) || (exStyle_ & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
    setReadOnly((style_ & ES_READONLY) != 0);
    setText(QString::fromUtf8(params.text));
}

}  // namespace platform::window
