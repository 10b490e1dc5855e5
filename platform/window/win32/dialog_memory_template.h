#pragma once

#include <vector>

#include "platform/window/dialog_template.h"

namespace platform::window {

// The template as the system's dialog manager takes it, in memory: an extended one (DLGTEMPLATEEX
// and DLGITEMTEMPLATEEX items) when templ is extended, a plain one (DLGTEMPLATE and
// DLGITEMTEMPLATE, with word-sized control identifiers) otherwise; captions and class names in
// UTF-16, a control's resource ordinal (the icon of an SS_ICON static) as its caption, and the
// dialog's font when DS_SETFONT asks for one. Aligned for DialogBoxIndirectParam.
std::vector<WORD> BuildMemoryTemplate(const DialogTemplate& templ);

}  // namespace platform::window
