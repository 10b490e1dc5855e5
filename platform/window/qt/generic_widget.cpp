#include "platform/window/qt/generic_widget.h"

#include "platform/draw/qt/qt_convert.h"
#include "platform/window/window_styles.h"

namespace platform::window {

GenericWidget::GenericWidget(const CreateParams& params, const WndClassInfo& info,
                             QWidget* parentWidget)
    : NativeWidget<QWidget>(params, parentWidget) {
    setCursor(platform::draw::ToQCursor(info.cursor));
    setAttribute(Qt::WA_OpaquePaintEvent, (params.style & WS_CHILD) != 0);
}

}  // namespace platform::window
