#include "platform/window/qt/edit_widget.h"

#include "platform/window/window_styles.h"

namespace platform::window {

EditWidget::EditWidget(const CreateParams& params, QWidget* parentWidget)
    : NativeWidget<QLineEdit>(params, parentWidget) {
    setFrame((style_ & WS_BORDER) || (exStyle_ & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
    setReadOnly((style_ & ES_READONLY) != 0);
    setText(QString::fromUtf8(params.text));
}

}  // namespace platform::window
