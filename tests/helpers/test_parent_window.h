#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/draw/geometry.h"
#include "platform/window/wnd.h"

class CButton;

namespace test_helpers {

// A visible top-level window (offscreen on Linux) to put controls on, with a plain object for each
// control it makes until a test's own object subclasses it.
class TestParentWindow {
  public:
    explicit TestParentWindow(CSize clientSize = CSize(400, 300), const char* title = "Test");

    CWnd& Window() { return window_; }
    // Creates a child of className with the given styles at rect; null on failure.
    CWnd* AddControl(const char* className, const char* text, DWORD style, const CRect& rect,
                     int id, DWORD exStyle = 0);
    // Creates an auto check box whose client area is width x height and lets button subclass
    // it, so that its PreSubclassWindow runs. False on failure.
    bool AttachCheckBox(CButton& button, int width, int height, int id = 1015);

  private:
    CWnd window_;
    std::vector<std::unique_ptr<CWnd>> controls_;
};

}  // namespace test_helpers
