#include "tests/helpers/test_parent_window.h"

#include <gtest/gtest.h>

#include "platform/window/button.h"
#include "platform/window/wnd_class.h"
#include "tests/helpers/window_test.h"

namespace test_helpers {

TestParentWindow::TestParentWindow(CSize clientSize, const char* title) {
    EnsureWindowServices();
    if (!window_.CreateEx(0, AfxRegisterWndClass(0), title, WS_POPUP | WS_VISIBLE,
                          CRect(0, 0, clientSize.cx, clientSize.cy), nullptr, 0)) {
        ADD_FAILURE() << "the test window could not be created";
    }
}

CWnd* TestParentWindow::AddControl(const char* className, const char* text, DWORD style,
                                   const CRect& rect, int id, DWORD exStyle) {
    auto control = std::make_unique<CWnd>();
    if (!control->CreateEx(exStyle, className, text, style | WS_CHILD, rect, &window_,
                           static_cast<UINT_PTR>(id))) {
        return nullptr;
    }
    controls_.push_back(std::move(control));
    return controls_.back().get();
}

bool TestParentWindow::AttachCheckBox(CButton& button, int width, int height, int id) {
    CWnd* box = AddControl("Button", "", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                           CRect(10, 10, 10 + width, 10 + height), id);
    return box != nullptr && button.SubclassWindow(box->m_hWnd);
}

}  // namespace test_helpers
