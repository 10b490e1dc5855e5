#pragma once

#include <QFont>

#include "platform/draw/font.h"

namespace platform::draw {

// The font behind a CFont.
struct FontData {
    QFont font;
};

// The font; the application's default font when none was created.
QFont QFontOf(const CFont& font);
// Makes the object hold qfont.
void SetQFont(CFont& font, const QFont& qfont);

}  // namespace platform::draw
