#pragma once

#include <QAccessibleWidget>

namespace platform::window {

// A progress control read as a progress bar: its value is the one set for assistive technology
// (SetAccessibleValue) when there is one, else the control's own; its description is the current
// text of the control named to describe it (the line beside the bar), else its own.
class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit ProgressAccessible(QWidget* widget);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 0; }
};

}  // namespace platform::window
