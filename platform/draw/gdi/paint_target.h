#pragma once

#include <string>
#include <string_view>

#include "platform/draw/dc.h"
#include "system_defs/windows_h.h"

namespace platform::draw {

// The surface of a context: the system's device context. A memory context owns its handle; the
// window layer attaches a window's handle for a paint (or GetDC) and detaches it afterwards.
struct PaintTarget {
    HDC hdc = nullptr;
};

// Attaches hdc to dc (null detaches it), so that CDC::FromHandle finds dc by it.
void AttachHdc(CDC& dc, HDC hdc);

// UTF-8 to UTF-16 and back, for the system's wide calls.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace platform::draw
