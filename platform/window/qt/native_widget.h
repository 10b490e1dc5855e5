#pragma once

#include <QPaintEvent>
#include <QTimerEvent>
#include <QWidget>

#include "platform/window/qt/native_window.h"

namespace platform::window {

// Joins a Qt widget class to NativeWindow: paint and timer events become messages.
template <class QtBase>
class NativeWidget : public QtBase, public NativeWindow {
  public:
    NativeWidget(const CreateParams& params, QWidget* parentWidget)
        : QtBase(parentWidget), NativeWindow(params) {}
    ~NativeWidget() override { Destroying(); }

    QWidget* Widget() override { return this; }

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (DispatchesPaint()) {
            HandlePaint(event);
        } else {
            ClassPaint(event);
        }
    }
    void timerEvent(QTimerEvent* event) override {
        if (!HandleTimer(event)) {
            QtBase::timerEvent(event);
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        QtBase::resizeEvent(event);
        Invalidate(true);
    }
};

}  // namespace platform::window
