#pragma once

#include <QLabel>

#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "Static" class: text aligned by SS_LEFT / SS_CENTER / SS_RIGHT and wrapped at blanks
// and "\n", an icon (SS_ICON, the resource named by the template's ordinal or a caption "#128"), or
// a black frame or rectangle. SS_SUNKEN adds a sunken edge. Clicks fall through to the parent.
// It paints itself; it is a QLabel only so that it can be the buddy label of the control it
// names on screen, which is how a screen reader on Linux learns a combo box's label.
class StaticWidget : public NativeWidget<QLabel> {
  public:
    StaticWidget(const CreateParams& params, QWidget* parentWidget);

    DWORD Kind() const { return style_ & 0x1F; }
    // An icon static takes its icon's size (SM_CXICON x SM_CYICON, edges added), unless
    // SS_CENTERIMAGE centres the icon in the size it was given.
    QSize CreationSize(QSize requested) const override;

  protected:
    void ClassPaint(QPaintEvent* event) override;

  private:
    HICON icon_;
};

// The text as drawn: a single "&" removed (it marks a mnemonic), "&&" shown as "&".
QString StripMnemonic(const QString& text);

}  // namespace platform::window
