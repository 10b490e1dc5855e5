#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

// One offscreen application object for the whole test program, made on first use.
inline QGuiApplication& TestGuiApp() {
    static int argc = 1;
    static char name[] = "platform_draw_tests";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
    return app;
}

// Base fixture: every drawing test runs with the application object present.
class GuiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { TestGuiApp(); }
};
