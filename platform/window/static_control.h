#pragma once

#include "platform/window/wnd.h"

// A "Static" control: text (left, centred or right, wrapped at blanks and at "\n"), icon
// (SS_ICON) or frame (SS_BLACKFRAME, SS_BLACKRECT, with SS_SUNKEN a sunken edge). Windows of
// registered classes may derive from it too.
class CStatic : public CWnd {
  public:
    const char* ControlClass() const override { return "Static"; }
    CStatic() = default;
};
