#pragma once

#include <QImage>
#include <QPoint>
#include <string>

#include "platform/window/wnd.h"

class QMenu;

namespace test_helpers {

// The window as it is painted now (paints it, frame included).
QImage GrabWindow(CWnd* wnd);
// Saves GrabWindow to a PNG file; false when it could not be written.
bool SaveWindowPng(CWnd* wnd, const std::string& path);

// How often the window has run its paint (erase and WM_PAINT) so far.
int PaintCount(CWnd* wnd);
// Delivers the WM_TIMER of timer id now, as the event loop would; false when no such timer
// runs on the window.
bool DeliverTimer(CWnd* wnd, UINT_PTR id);
bool HasTimer(CWnd* wnd, UINT_PTR id);

// Clicks the control id of parent with the left mouse button in its middle.
void ClickControl(CWnd* parent, int id);
// Presses key (with modifiers) in the window that has the focus inside wnd, else in wnd.
void PressKey(CWnd* wnd, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Right-clicks wnd's background at point (client coordinates).
void RightClick(CWnd* wnd, QPoint point);

// The open popup menu (the system menu after Alt+Space or a right click), null when none.
QMenu* OpenPopupMenu();
// Chooses the entry with text (as shown, "&" included) in the open popup menu and lets the
// posted command run; false when there is no such enabled entry.
bool ChoosePopupEntry(const std::string& text);

}  // namespace test_helpers
