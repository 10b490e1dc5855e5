#include "platform/window/win32/window_map.h"

#include <map>

#include "platform/draw/gdi/paint_target.h"
#include "platform/window/win32/item_tips.h"

namespace platform::window {
namespace {

struct Attachment {
    CWnd* object = nullptr;
    WNDPROC original = nullptr;
};

std::map<HWND, Attachment>& Attachments() {
    static std::map<HWND, Attachment> attachments;
    return attachments;
}

// A context object for a handle a message carries (WM_ERASEBKGND, WM_DRAWITEM), for as long as
// the message is handled, so that CDC::FromHandle finds one.
class BorrowedDC {
  public:
    explicit BorrowedDC(HDC hdc) {
        if (hdc != nullptr && CDC::FromHandle(hdc) == nullptr) {
            platform::draw::AttachHdc(dc_, hdc);
            attached_ = true;
        }
    }
    ~BorrowedDC() {
        if (attached_) {
            platform::draw::AttachHdc(dc_, nullptr);
        }
    }
    BorrowedDC(const BorrowedDC&) = delete;
    BorrowedDC& operator=(const BorrowedDC&) = delete;

  private:
    CDC dc_;
    bool attached_ = false;
};

HDC HdcOf(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
        case WM_ICONERASEBKGND:
            return reinterpret_cast<HDC>(wParam);
        case WM_DRAWITEM:
            return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hDC;
        default:
            return nullptr;
    }
}

LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Attachments().find(hwnd);
    if (it == Attachments().end()) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    CWnd* object = it->second.object;
    if (message == WM_NCDESTROY || object == nullptr) {
        const LRESULT result = CallOriginalProc(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            DetachWindow(hwnd);
            ForgetItemTips(hwnd);
        }
        return result;
    }
    const BorrowedDC borrowed(HdcOf(message, wParam, lParam));
    return object->WindowProc(message, wParam, lParam);
}

}  // namespace

void AttachWindow(CWnd& object, HWND hwnd) {
    Attachment& a = Attachments()[hwnd];
    if (a.object != nullptr && a.object != &object) {
        a.object->m_hWnd = nullptr;
    }
    a.object = &object;
    object.m_hWnd = hwnd;
    if (a.original == nullptr) {
        a.original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LayerWindowProc)));
    }
}

void DetachWindow(HWND hwnd) {
    auto it = Attachments().find(hwnd);
    if (it == Attachments().end()) {
        return;
    }
    if (it->second.original != nullptr && ::IsWindow(hwnd)) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.original));
    }
    if (it->second.object != nullptr) {
        it->second.object->m_hWnd = nullptr;
    }
    Attachments().erase(it);
}

CWnd* AttachedObject(HWND hwnd) {
    auto it = Attachments().find(hwnd);
    return it != Attachments().end() ? it->second.object : nullptr;
}

LRESULT CallOriginalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Attachments().find(hwnd);
    if (it == Attachments().end() || it->second.original == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return ::CallWindowProcW(it->second.original, hwnd, message, wParam, lParam);
}

std::wstring Widen(std::string_view text) {
    return platform::draw::Widen(text);
}

std::string Narrow(std::wstring_view text) {
    return platform::draw::Narrow(text);
}

std::string ClassNameOf(HWND hwnd) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(hwnd, name, 256);
    return Narrow(std::wstring_view(name, static_cast<size_t>(length > 0 ? length : 0)));
}

}  // namespace platform::window
