#pragma once

#include <QAccessibleWidget>
#include <QObjectList>

namespace platform::window {

// A dialog that offers only what it shows: its visible controls, in template order, without hidden
// ones or mere decoration, then its notification when it has one. A dialog without an owner is the
// program's main window and reads as one (a frame); an owned one reads as a dialog.
class DialogAccessible : public QAccessibleWidget {
  public:
    explicit DialogAccessible(QWidget* dialog);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

  private:
    QObjectList Offered() const;
};

}  // namespace platform::window
