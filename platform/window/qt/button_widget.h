#pragma once

#include <QAbstractButton>

#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "Button" class: push, default push, check box, group box or owner-drawn by the BS_ kind
// in its style. A click sends BN_CLICKED to the parent; an owner-drawn one paints by sending
// WM_DRAWITEM to its parent and neither shows nor toggles a check mark.
class ButtonWidget : public NativeWidget<QAbstractButton> {
  public:
    ButtonWidget(const CreateParams& params, QWidget* parentWidget);

    DWORD Kind() const { return style_ & 0xF; }
    bool IsPushButton() const;
    void SetText(const std::string& text) override;

  protected:
    void ClassPaint(QPaintEvent* event) override;
    void StyleChanged(DWORD oldStyle, DWORD oldExStyle) override;
    void nextCheckState() override;

  private:
    void ApplyKind();
    void PaintGroupBox();
    void PaintOwnerDrawn();
};

}  // namespace platform::window
