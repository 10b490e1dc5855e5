#pragma once

#include <string>

#include "platform/draw/icon.h"
#include "platform/draw/wait_cursor.h"
#include "platform/window/wnd_class.h"

namespace platform::window {

// A class registered with AfxRegisterWndClass.
struct WndClassInfo {
    UINT classStyle = 0;
    HCURSOR cursor;
    HBRUSH background = nullptr;
    HICON icon;
};

// The registered class called name; null when there is none.
const WndClassInfo* FindWndClass(const std::string& name);

}  // namespace platform::window
