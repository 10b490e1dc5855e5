#pragma once

#include <QFont>

#include "platform/draw/geometry.h"
#include "platform/window/dialog_template.h"

namespace platform::window {

// Horizontal and vertical base units of a dialog font: the average width of "A".."Z" "a".."z"
// (their total width / 52, rounded) and the font's height, as the system computes them.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c);

// The font a template asks for; "MS Sans Serif" and other faces missing here map to an
// installed sans-serif face, one pixel size smaller (substitutes run wider).
QFont DialogFont(const DialogFontTemplate& font);
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels: x = du * baseX / 4, y = du * baseY / 8, each rounded; position and
// size are converted separately, as the dialog manager does.
CRect DialogUnitsToPixels(const DialogUnitRect& rect, DialogBaseUnits units);

}  // namespace platform::window
