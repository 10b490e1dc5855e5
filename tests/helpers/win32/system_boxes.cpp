#include "tests/helpers/win32/system_boxes.h"

#include <gtest/gtest.h>

#include "platform/window/win32/window_map.h"
#include "tests/helpers/win32/thread_windows.h"
#include "tests/helpers/win32/user_input.h"

namespace test_helpers {
namespace {

void Record(HWND box, MessageBoxSeen& seen) {
    seen.shown = true;
    seen.title = TextOf(box);
    const LRESULT defId = ::SendMessageW(box, DM_GETDEFID, 0, 0);
    HWND text = nullptr;
    for (HWND child : ChildWindows(box)) {
        const std::string cls = ClassOf(child);
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (::lstrcmpiA(cls.c_str(), "Button") == 0 && (style & WS_VISIBLE)) {
            seen.buttons.push_back(TextOf(child));
            if (HIWORD(defId) == DC_HASDEFID && LOWORD(defId) == ::GetDlgCtrlID(child)) {
                seen.defaultButton = TextOf(child);
            }
        } else if (::lstrcmpiA(cls.c_str(), "Edit") == 0) {
            seen.details = TextOf(child);
        } else if (::lstrcmpiA(cls.c_str(), "Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                seen.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
            } else if (text == nullptr && !TextOf(child).empty()) {
                text = child;
                seen.text = TextOf(child);
            }
        }
    }
    if (HWND focus = ::GetFocus(); focus != nullptr && ::GetParent(focus) == box) {
        seen.focus = TextOf(focus);
    }
    seen.background = PixelOf(box, POINT{2, 2});
    if (text != nullptr) {
        // What the box tells its text to paint with.
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(text));
        seen.textBackground = ::GetBkColor(dc);
        seen.textColour = ::GetTextColor(dc);
        ::DeleteDC(dc);
    }
}

// The edit that takes the file name: in the name combo box of an Explorer-style dialog, else
// the classic one.
HWND FileNameEdit(HWND dialog) {
    if (HWND combo = ::GetDlgItem(dialog, cmb13)) {
        if (HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) {
            return edit;
        }
        return combo;
    }
    return ::GetDlgItem(dialog, edt1);
}

std::shared_ptr<FileDialogSeen> OnNextFileDialog(std::function<void(HWND)> act) {
    auto seen = std::make_shared<FileDialogSeen>();
    WhenWindowOpens([](HWND hwnd) { return IsDialogBox(hwnd) && FileNameEdit(hwnd) != nullptr; },
                    [seen, act](HWND dialog) {
                        seen->shown = true;
                        seen->title = TextOf(dialog);
                        seen->proposedName = TextOf(FileNameEdit(dialog));
                        act(dialog);
                    });
    return seen;
}

}  // namespace

bool IsDialogBox(HWND hwnd) {
    return ClassOf(hwnd) == "#32770";
}

COLORREF PixelOf(HWND hwnd, POINT client) {
    ::RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = ::GetDC(hwnd);
    const COLORREF colour = ::GetPixel(dc, client.x, client.y);
    ::ReleaseDC(hwnd, dc);
    return colour;
}

std::shared_ptr<MessageBoxSeen> AnswerNextMessageBox(int answer, std::function<void()> whileOpen) {
    auto seen = std::make_shared<MessageBoxSeen>();
    WhenWindowOpens(IsDialogBox, [seen, answer, whileOpen](HWND box) {
        Record(box, *seen);
        if (whileOpen) {
            whileOpen();
        }
        HWND button = ::GetDlgItem(box, answer);
        if (button == nullptr) {
            ADD_FAILURE() << "the box has no button " << answer;
            ::SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        ClickWindow(button);
    });
    return seen;
}

std::shared_ptr<FileDialogSeen> AnswerNextFileDialog(const std::string& path) {
    return OnNextFileDialog([path](HWND dialog) {
        ::SetWindowTextW(FileNameEdit(dialog), platform::window::Widen(path).c_str());
        ClickWindow(::GetDlgItem(dialog, IDOK));
    });
}

std::shared_ptr<FileDialogSeen> CancelNextFileDialog() {
    return OnNextFileDialog([](HWND dialog) { ClickWindow(::GetDlgItem(dialog, IDCANCEL)); });
}

}  // namespace test_helpers
