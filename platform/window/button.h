#pragma once

#include "platform/window/draw_item_struct.h"
#include "platform/window/wnd.h"

// A "Button" control: push, default push, check box, group box or owner-drawn, by its
// BS_ kind. Clicks reach the parent as WM_COMMAND with BN_CLICKED. An owner-drawn button's
// paint sends WM_DRAWITEM to its parent, which reflects it to DrawItem.
class CButton : public CWnd {
  public:
    const char* ControlClass() const override { return "Button"; }
    CButton() = default;

    // Check state of a check box (BST_CHECKED or BST_UNCHECKED).
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetButtonStyle() const { return GetStyle() & 0xFF; }

    // Paints an owner-drawn button; the default draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

  protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
