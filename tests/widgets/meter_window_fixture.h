#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "platform/clock/wall_clock.h"
#include "platform/window/static_control.h"
#include "platform/window/wnd.h"
#include "platform/window/wnd_class.h"
#include "widgets/progress_meter.h"

// An offscreen parent window with an anchor control and a text line, and a fake clock standing
// at 2026-12-08 12:03:05.
class MeterWindowFixture : public ::testing::Test {
  protected:
    static SYSTEMTIME StartTime() {
        SYSTEMTIME t;
        t.wYear = 2026;
        t.wMonth = 12;
        t.wDay = 8;
        t.wDayOfWeek = 2;
        t.wHour = 12;
        t.wMinute = 3;
        t.wSecond = 5;
        return t;
    }

    void SetUp() override {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "progress_meter_tests";
            static char* argv[] = {name, nullptr};
            app = std::make_unique<QApplication>(argc, argv);
        }
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "Meter", WS_POPUP | WS_VISIBLE,
                                    CRect(0, 0, 720, 120), nullptr, 0));
        text.CreateEx(0, "Static", "Idle", WS_CHILD | WS_VISIBLE | SS_CENTER,
                      CRect(10, 40, 690, 60), &parent, 1018);
        // Let the offscreen window be exposed, so that repaints happen at once.
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    // An anchor whose rectangle gives a meter client area of width x height (one-pixel edge).
    CWnd& MakeAnchor(int width, int height) {
        anchor.CreateEx(0, "msctls_progress32", "", WS_CHILD | WS_VISIBLE,
                        CRect(10, 10, 10 + width + 2, 10 + height + 2), &parent, 1001);
        return anchor;
    }

    std::unique_ptr<ProgressMeter> MakeMeter(int upper = 1000, int mode = 2,
                                             const char* prefix = nullptr, CBitmap* tiles = nullptr,
                                             bool reversed = false) {
        if (anchor.GetSafeHwnd() == nullptr) {
            MakeAnchor(300, 16);
        }
        return std::make_unique<ProgressMeter>(&anchor, upper, tiles, reversed, &text, prefix,
                                               mode);
    }

    std::string Caption(CWnd& wnd) const {
        std::string caption;
        wnd.GetWindowText(caption);
        return caption;
    }

    static void Paint(CWnd& wnd) {
        wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }

    std::unique_ptr<QApplication> app;
    platform::clock::FakeWallClock clock{StartTime()};
    platform::clock::ScopedWallClock useClock{clock};
    CWnd parent;
    CWnd anchor;
    CStatic text;
};
