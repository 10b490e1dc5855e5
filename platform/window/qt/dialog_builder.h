#pragma once

#include <memory>
#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/qt/dialog_widget.h"

class CWnd;
class QWidget;

namespace platform::window {

// Builds the window of templ, owned by ownerWidget (may be null), with its controls in
// template order, sized from dialog units of the template's font. Each control gets a plain
// CWnd object, added to controlObjects. The window is not shown. Null when a control cannot be
// made (CheckDialogTemplate finds that beforehand).
[[nodiscard]] DialogWidget* BuildDialog(const DialogTemplate& templ, QWidget* ownerWidget,
                                        std::vector<std::unique_ptr<CWnd>>& controlObjects);

}  // namespace platform::window
