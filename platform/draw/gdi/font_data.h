#pragma once

#include "platform/draw/font.h"
#include "system_defs/windows_h.h"

namespace platform::draw {

// The system's font behind a CFont; owned fonts are deleted with the object.
struct FontData {
    HFONT font = nullptr;
    bool owned = false;
    ~FontData() {
        if (owned && font != nullptr) {
            ::DeleteObject(font);
        }
    }
};

// The font's handle; null for a font not created (the system's default then applies).
HFONT FontHandle(const CFont& font);
// Makes font stand for handle, owned (deleted with it) or borrowed.
void SetFontHandle(CFont& font, HFONT handle, bool owned);

}  // namespace platform::draw
