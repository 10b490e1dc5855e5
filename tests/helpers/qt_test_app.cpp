#include "tests/helpers/qt_test_app.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "platform/window/qt_event_pump.h"

namespace test_helpers {

void EnsureQtApplication() {
    static std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "window_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    platform::window::InstallQtEventPump();
}

void WindowTest::SetUp() {
    EnsureQtApplication();
}

void WindowTest::TearDown() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    QApplication::sendPostedEvents(nullptr, 0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

}  // namespace test_helpers
