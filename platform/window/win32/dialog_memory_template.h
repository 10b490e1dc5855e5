#pragma once

#include <vector>

#include "platform/window/dialog_template.h"

namespace platform::window {

// The template as the system's dialog manager takes it: an extended template (DLGTEMPLATEEX and
// its DLGITEMTEMPLATEEX items) in memory, with captions and class names in UTF-16, a control's
// resource ordinal (the icon of an SS_ICON static) as its caption, and the dialog's font when
// DS_SETFONT asks for one. Aligned for DialogBoxIndirectParam.
std::vector<WORD> BuildMemoryTemplate(const DialogTemplate& templ);

}  // namespace platform::window
