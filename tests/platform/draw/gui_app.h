#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

// The offscreen application object of a test program: made before the first suite and gone
// before the process exits (Qt's own statics must outlive it).
template <class App>
class QtAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<App>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "sectorsmith";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<App> app_;
};

// Registers the environment once per program, from a namespace-scope initialiser of one file.
template <class App>
inline bool RegisterQtApp() {
    static const bool registered =
        (::testing::AddGlobalTestEnvironment(new QtAppEnvironment<App>), true);
    return registered;
}

// Base fixture of tests that need the application object; the program registers it once.
using GuiTest = ::testing::Test;
