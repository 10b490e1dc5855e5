#pragma once

#include <string>

#include "platform/window/qt/native_window.h"

class QWidget;

namespace platform::window {

// Whether className names a control class this layer implements (case does not matter).
bool IsControlClass(const std::string& className);

// Creates a window of className: a control class, a class registered with
// AfxRegisterWndClass, or "#32770" (a dialog). The widget is a child of parentWidget when the
// style has WS_CHILD (placed at rect in the parent's client coordinates), else a top-level
// window owned by parentWidget. Null when the class is unknown. The window is not shown.
[[nodiscard]] NativeWindow* CreateNativeWindow(const std::string& className,
                                               const CreateParams& params, QWidget* parentWidget);

// Shows or hides the new window as WS_VISIBLE says and enables it as WS_DISABLED says.
void ApplyInitialState(NativeWindow* window);

}  // namespace platform::window
