#pragma once

#include <cstdint>

#include "platform/window/button.h"
#include "widgets/frame_strip.h"

// A two-state indicator over a check-box control: frame 0 of its bitmap unlit, frame 1 lit. It
// makes the control owner-drawn and paints it itself; only the program changes its state.
class LampButton : public CButton {
  public:
    // Unlit (state 0), caption indent 20, no bitmap yet.
    LampButton();
    ~LampButton() override;

    // Loads bitmap resource id with frames frameWidthPx wide, mapping its key colour to the 3D
    // face colour, and places the frame at the left, centred vertically. Call once, after the
    // control is attached; a bitmap that cannot be loaded leaves the lamp empty.
    void LoadFrames(uint16_t id, int frameWidthPx);
    // Sets the state (0 unlit, any other value lit) and repaints at once, but only when the
    // value differs from the one held. Returns the state now held.
    int SetState(int newState);

    int GetState() const { return state; }
    int GetIndent() const { return indent; }
    CPoint GetOrigin() const { return {originX, originY}; }

  protected:
    // Makes the control owner-drawn and takes the vertical middle of its client area.
    void PreSubclassWindow() override;
    // Full redraws only: the face colour, the current frame, and the caption (if any) at
    // indent, wrapped and centred vertically. Focus and selection changes draw nothing.
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    DECLARE_MESSAGE_MAP()

  private:
    // Tells a screen reader the state in words: "lit" or "unlit".
    void TellState();

    int indent;
    int originX;
    int originY;
    int state;
    FrameStrip strip;
};
