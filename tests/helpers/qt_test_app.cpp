#include "tests/helpers/qt_test_app.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "platform/window/qt/qt_event_pump.h"

namespace test_helpers {

namespace {

// Owns the application; gtest tears it down after the last test, before the process's exit
// handlers run (Qt must not be torn down from those).
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void Start() {
        static int argc = 1;
        static char name[] = "window_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    // Should gtest not have torn the environment down, the application is left to the
    // process's end rather than destroyed from the exit handlers.
    ~QtApplicationEnvironment() override { (void)app_.release(); }

    void TearDown() override {
        QApplication::closeAllWindows();
        app_.reset();
    }

  private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace

void EnsureQtApplication() {
    if (QApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto* environment = new QtApplicationEnvironment;  // gtest takes it over
        ::testing::AddGlobalTestEnvironment(environment);
        environment->Start();
    }
    platform::window::InstallQtEventPump();
}

void EnsureWindowServices() {
    EnsureQtApplication();
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
