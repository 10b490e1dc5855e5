#pragma once

#include <QAccessibleWidget>

namespace platform::window {

// A control read with a role its Qt class does not give it: a group box as a group named by its
// caption, a static text as a label, a lamp as a status indicator whose description is its state.
// The name set from the template's accessibility wins over the caption.
class ControlAccessible : public QAccessibleWidget {
  public:
    ControlAccessible(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
};

// A caption as read aloud: mnemonic marks gone, a line break with the blanks around it one blank.
QString ReadableCaption(const QString& caption);

}  // namespace platform::window
