#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/clock/wall_clock.h"
#include "platform/window/wnd.h"
#include "tests/helpers/test_parent_window.h"
#include "tests/helpers/window_test.h"
#include "widgets/progress_meter.h"

// An offscreen parent window with a centred text line (control 1018) and, on demand, an anchor
// control (1001); a fake clock stands at Tuesday 2026-12-08 12:03:05.
class MeterWindowFixture : public test_helpers::WindowTest {
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
        test_helpers::WindowTest::SetUp();
        parent = std::make_unique<test_helpers::TestParentWindow>(CSize(720, 400), "Meter");
        text = parent->AddControl("Static", "Idle", WS_CHILD | WS_VISIBLE | SS_CENTER,
                                  CRect(10, 40, 690, 60), 1018);
        ASSERT_NE(text, nullptr);
    }

    // An anchor whose rectangle gives a meter client area of width x height (one-pixel edge).
    CWnd& MakeAnchor(int width, int height) {
        anchor = parent->AddControl("msctls_progress32", "", WS_CHILD | WS_VISIBLE,
                                    CRect(10, 70, 10 + width + 2, 70 + height + 2), 1001);
        return *anchor;
    }

    std::unique_ptr<ProgressMeter> MakeMeter(int upper = 1000, int mode = 2,
                                             const char* prefix = nullptr, CBitmap* tiles = nullptr,
                                             bool reversed = false) {
        if (anchor == nullptr) {
            MakeAnchor(300, 16);
        }
        return std::make_unique<ProgressMeter>(anchor, upper, tiles, reversed, text, prefix, mode);
    }

    static std::string Caption(CWnd& wnd) {
        std::string caption;
        wnd.GetWindowText(caption);
        return caption;
    }
    std::string Caption() const { return Caption(*text); }

    // Paints the window now, background erase included.
    static void Paint(CWnd& wnd) {
        wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }

    platform::clock::FakeWallClock clock{StartTime()};
    platform::clock::ScopedWallClock useClock{clock};
    std::unique_ptr<test_helpers::TestParentWindow> parent;
    CWnd* text = nullptr;
    CWnd* anchor = nullptr;
};
