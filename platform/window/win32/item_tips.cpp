#include "platform/window/win32/item_tips.h"

#include <map>
#include <memory>

#include "platform/window/win32/window_map.h"

namespace platform::window {
namespace {

// Wide enough for a drive's description; longer lines wrap.
constexpr int kTipWidth = 480;
constexpr UINT_PTR kPointerWatch = 0x5350;

struct ControlTips {
    HWND tooltip = nullptr;
    std::map<int, std::string> texts;
    std::wstring shown;  // the text handed to the tooltip last
    int pointedItem = -2;
};

std::map<HWND, ControlTips>& All() {
    static std::map<HWND, ControlTips> all;
    return all;
}

bool IsComboBox(HWND control) {
    return ::lstrcmpiA(ClassNameOf(control).c_str(), "ComboBox") == 0;
}

// The item under the pointer: the list view's row, the open list's entry; -1 over the closed
// box (and over no row).
int PointedItem(HWND control, HWND tool) {
    POINT at{};
    ::GetCursorPos(&at);
    if (!IsComboBox(control)) {
        LVHITTESTINFO hit{};
        hit.pt = at;
        ::ScreenToClient(control, &hit.pt);
        return static_cast<int>(
            ::SendMessageW(control, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!::GetComboBoxInfo(control, &info) || tool != info.hwndList) {
        return -1;
    }
    ::ScreenToClient(info.hwndList, &at);
    const LRESULT entry =
        ::SendMessageW(info.hwndList, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    return HIWORD(entry) == 0 ? static_cast<int>(LOWORD(entry)) : -1;
}

std::string TipOf(HWND control, const ControlTips& tips, int item) {
    auto text = [&](int key) {
        auto it = tips.texts.find(key);
        return it != tips.texts.end() ? it->second : std::string();
    };
    if (item >= 0 || !IsComboBox(control)) {
        return item >= 0 ? text(item) : std::string();
    }
    // The closed box: its selection's tip, then its own.
    const int selected = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    std::string tip = selected >= 0 ? text(selected) : std::string();
    const std::string own = text(-1);
    if (!own.empty()) {
        tip = tip.empty() ? own : tip + "\n\n" + own;
    }
    return tip;
}

// Watches the pointer over a window with a tool: on another item, the tip shown goes, so that
// the next one shows the new item's.
LRESULT CALLBACK WatchPointer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR control) {
    if (message == WM_MOUSEMOVE) {
        auto it = All().find(reinterpret_cast<HWND>(control));
        if (it != All().end()) {
            const int item = PointedItem(it->first, hwnd);
            if (item != it->second.pointedItem) {
                it->second.pointedItem = item;
                ::SendMessageW(it->second.tooltip, TTM_POP, 0, 0);
            }
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &WatchPointer, kPointerWatch);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// A tool over window (the control, or a part of it) whose text the control gives.
void AddTool(HWND tooltip, HWND control, HWND window) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SetWindowSubclass(window, &WatchPointer, kPointerWatch, reinterpret_cast<DWORD_PTR>(control));
}

ControlTips& TipsOf(HWND control) {
    ControlTips& tips = All()[control];
    if (tips.tooltip != nullptr) {
        return tips;
    }
    tips.tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(tips.tooltip, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    // Tips as long as a drive's description take time to read.
    ::SendMessageW(tips.tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    AddTool(tips.tooltip, control, control);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (IsComboBox(control) && ::GetComboBoxInfo(control, &info)) {
        if (info.hwndItem != nullptr && info.hwndItem != control) {
            AddTool(tips.tooltip, control, info.hwndItem);
        }
        AddTool(tips.tooltip, control, info.hwndList);
    }
    return tips;
}

}  // namespace

void SetItemTip(HWND control, int item, const std::string& text) {
    if (control != nullptr) {
        TipsOf(control).texts[item] = text;
    }
}

std::string ItemTip(HWND control, int item) {
    auto it = All().find(control);
    if (it == All().end()) {
        return {};
    }
    auto text = it->second.texts.find(item);
    return text != it->second.texts.end() ? text->second : std::string();
}

bool AnswerTipRequest(HWND control, LPARAM notification) {
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(notification);
    auto it = All().find(control);
    if (request == nullptr || it == All().end() || request->hdr.hwndFrom != it->second.tooltip ||
        request->hdr.code != TTN_GETDISPINFOW) {
        return false;
    }
    ControlTips& tips = it->second;
    const HWND tool = reinterpret_cast<HWND>(request->hdr.idFrom);
    tips.pointedItem = PointedItem(control, tool);
    std::wstring text = Widen(TipOf(control, tips, tips.pointedItem));
    // The tooltip breaks lines at CR LF.
    tips.shown.clear();
    for (wchar_t c : text) {
        if (c == L'\n') {
            tips.shown += L'\r';
        }
        tips.shown += c;
    }
    request->lpszText = tips.shown.data();
    request->szText[0] = L'\0';
    request->hinst = nullptr;
    return true;
}

void ForgetEntryTips(HWND control) {
    auto it = All().find(control);
    if (it != All().end()) {
        std::erase_if(it->second.texts, [](const auto& entry) { return entry.first >= 0; });
    }
}

void ForgetItemTips(HWND control) {
    auto it = All().find(control);
    if (it != All().end()) {
        ::DestroyWindow(it->second.tooltip);
        All().erase(it);
    }
}

}  // namespace platform::window
