#pragma once

#include <string>

class CWnd;

// What assistive technology (a screen reader reading the accessibility tree) is told of a window
// while the program runs. A window without a window behind it is left alone.
namespace platform::window {

// The state of a status indicator in words ("lit"), read after its name.
void SetAccessibleState(CWnd& window, const std::string& words);
// The value of a window that shows progress, within lower to upper. It does not move the
// control itself: a window painted over it shows the progress on screen.
void SetAccessibleValue(CWnd& window, int value, int lower, int upper);
// Keeps the window out of the tree: a picture laid over a control that speaks for it.
void HideFromAccessibility(CWnd& window);
// Has the text read out now, without moving the focus: what the window's owner must hear at once
// (a new row of a log). The latest text stays readable as the window's notification.
void Announce(CWnd& window, const std::string& text);

}  // namespace platform::window
