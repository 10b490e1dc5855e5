#include "platform/window/dialog_template.h"
#include "platform/window/qt/window_factory.h"
#include "platform/window/wnd_class_registry.h"

namespace platform::window {

// A control class of the window factory, or a class the program registered.
bool IsKnownControlClass(const std::string& name) {
    return IsControlClass(name) || FindWndClass(name) != nullptr;
}

}  // namespace platform::window
