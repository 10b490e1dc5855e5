// The main window on Windows as it starts: its template's controls, caption, system menu, About
// box and message log, through the real dialog.
#include <gtest/gtest.h>

#include "platform/draw/sys_colors.h"
#include "platform/window/dialog_template.h"
#include "platform/window/win32/window_map.h"
#include "tests/helpers/picture.h"
#include "tests/ui/win32/main_window_fixture.h"

namespace {

using test_helpers::ChildWindows;
using test_helpers::ClassOf;
using test_helpers::RectInParent;
using test_helpers::RunModal;
using test_helpers::TextOf;

class MainWindowStartUp : public MainWindowTest {};

// Where the dialog manager puts a control: position and size converted each on its own.
RECT DialogUnitsToPixels(HWND dialog, const DialogUnitRect& units) {
    RECT r{units.x, units.y, units.cx, units.cy};
    ::MapDialogRect(dialog, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
    if (::EqualRect(&actual, &expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "at " << actual.left << "," << actual.top << " " << actual.right - actual.left << "x"
           << actual.bottom - actual.top << ", the template says " << expected.left << ","
           << expected.top << " " << expected.right - expected.left << "x"
           << expected.bottom - expected.top;
}

TEST_F(MainWindowStartUp, EveryControlOfTheTemplateSitsWhereItSaysAndShowsAsItSays) {
    const DialogTemplate* templ = platform::window::FindDialogTemplate(IDD_MAIN_DIALOG);
    ASSERT_NE(templ, nullptr);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_EQ(TextOf(dialog.m_hWnd), "Sectorsmith ");
        RECT client{};
        ::GetClientRect(dialog.m_hWnd, &client);
        EXPECT_TRUE(SameRect(client, DialogUnitsToPixels(dialog.m_hWnd, {0, 0, 320, 157})));

        // The dialog's children are the template's controls, in its order (the tab order).
        const std::vector<HWND> children = ChildWindows(dialog.m_hWnd);
        ASSERT_EQ(children.size(), templ->items.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const DialogItemTemplate& item = templ->items[i];
            HWND control = children[i];
            SCOPED_TRACE("control " + std::to_string(i + 1) + " (" + std::to_string(item.id) +
                         ", \"" + item.text + "\")");
            EXPECT_EQ(::GetDlgCtrlID(control), item.id);
            EXPECT_EQ(::lstrcmpiA(ClassOf(control).c_str(), item.windowClass.c_str()), 0)
                << ClassOf(control);
            const RECT expected = DialogUnitsToPixels(dialog.m_hWnd, item.rect);
            const RECT actual = RectInParent(control);
            if (item.windowClass == "ComboBox") {
                // A drop-down combo box is one line high; the template's height is its list's.
                EXPECT_EQ(actual.left, expected.left);
                EXPECT_EQ(actual.top, expected.top);
                EXPECT_EQ(actual.right, expected.right);
                EXPECT_LT(actual.bottom, expected.bottom);
            } else {
                EXPECT_TRUE(SameRect(actual, expected));
            }
            const DWORD style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
            EXPECT_EQ(::IsWindowVisible(control) != FALSE, (item.style & WS_VISIBLE) != 0);
            EXPECT_EQ(::IsWindowEnabled(control) != FALSE, (item.style & WS_DISABLED) == 0);
            // The frame is the template's own: its border, no sunken edge in place of it.
            EXPECT_EQ(style & (WS_TABSTOP | WS_GROUP | WS_BORDER),
                      item.style & (WS_TABSTOP | WS_GROUP | WS_BORDER));
            const DWORD edges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
            EXPECT_EQ(::GetWindowLongW(control, GWL_EXSTYLE) & edges, item.exStyle & edges);
            if (item.windowClass == "Button" || item.windowClass == "Static") {
                EXPECT_EQ(TextOf(control), item.text);
            }
        }
    });
}

// Tab goes from control to control in template order, through the visible, enabled ones with
// a tab stop.
TEST_F(MainWindowStartUp, TabFollowsTheTemplatesOrder) {
    const DialogTemplate* templ = platform::window::FindDialogTemplate(IDD_MAIN_DIALOG);
    ASSERT_NE(templ, nullptr);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        std::vector<int> expected;
        for (const DialogItemTemplate& item : templ->items) {
            if ((item.style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) ==
                (WS_TABSTOP | WS_VISIBLE)) {
                expected.push_back(item.id);
            }
        }
        ASSERT_EQ(expected.size(), 8u);
        std::vector<int> visited;
        HWND at = ::GetDlgItem(dialog.m_hWnd, expected.back());
        for (size_t i = 0; i < expected.size(); ++i) {
            at = ::GetNextDlgTabItem(dialog.m_hWnd, at, FALSE);
            visited.push_back(::GetDlgCtrlID(at));
        }
        EXPECT_EQ(visited, expected);
    });
}

TEST_F(MainWindowStartUp, TheGroupBoxShowsItsCaptionInTheDialogFont) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        HWND group = test_helpers::FindChild(dialog.m_hWnd, "Button",
                                             "Restore image to physical drive  (max. 2Gb)");
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(::GetWindowLongW(group, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_TRUE(::IsWindowVisible(group));

        // The labels the operator reads fit their controls on one line.
        HDC dc = ::GetDC(dialog.m_hWnd);
        HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HFONT>(::SendMessageW(dialog.m_hWnd, WM_GETFONT, 0, 0)));
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        EXPECT_STREQ(face, L"MS Sans Serif");
        for (const char* label : {"Source image", "Restore image to physical drive  (max. 2Gb)"}) {
            HWND control = test_helpers::FindChild(dialog.m_hWnd, "Static", label);
            if (control == nullptr) {
                control = group;
            }
            const std::wstring text = platform::window::Widen(label);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            const RECT r = RectInParent(control);
            EXPECT_LE(extent.cx, r.right - r.left) << label;
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(dialog.m_hWnd, dc);
    });
}

TEST_F(MainWindowStartUp, MessageLogLampsAndIcons) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_MESSAGE_LIST);
        RECT outer{};
        ::GetWindowRect(list, &outer);
        EXPECT_EQ(ListView_GetColumnWidth(list, 0), outer.right - outer.left - 6);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT;
        wchar_t heading[32] = {};
        column.pszText = heading;
        column.cchTextMax = 32;
        ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(heading, L"Messages");
        // Asked centred; the system keeps a list view's first column at the left, as it shows.
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
        RECT inner{};
        ::GetClientRect(list, &inner);
        EXPECT_EQ(inner.right, outer.right - outer.left - 6) << "the column fills the list";
        EXPECT_EQ(ListView_GetBkColor(list), 0x00E4F4D3u);
        EXPECT_EQ(ListView_GetTextBkColor(list), 0x00E4F4D3u);
        EXPECT_EQ(ListView_GetExtendedListViewStyle(list) & 0x21u, 0x21u);
        EXPECT_EQ(ListView_GetItemCount(list), 0);
        // The column fills the list: no horizontal scroll bar.
        EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL, 0);

        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_EQ(::GetWindowLongW(dialog.readyLamp.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(dialog.meter, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(dialog.m_hWnd, WM_GETICON, ICON_BIG, 0)),
                  dialog.appIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0)),
                  dialog.appIcon);
        EXPECT_EQ(dialog.meterTextWnd->m_hWnd, ::GetDlgItem(dialog.m_hWnd, IDC_METER_TEXT));
        ASSERT_NE(dialog.meterTiles, nullptr);
        EXPECT_TRUE(static_cast<bool>(*dialog.meterTiles));
    });
}

// The lamps of the window, idle and busy, pixel for pixel as the Linux lamps of those states
// (kept in tests/widgets/pictures, the 3D face colour as magenta; the ready lamp is a pixel
// narrower than the kept picture).
TEST_F(MainWindowStartUp, TheLampsShowTheSamePicturesAsOnLinux) {
    auto expectLamp = [](LampButton& lamp, const std::string& name) {
        const test_helpers::Picture shown = test_helpers::WithColourReplaced(
            test_helpers::GrabClientArea(&lamp), GetSysColor(COLOR_BTNFACE), RGB(255, 0, 255));
        const auto kept = test_helpers::ReadPicture(std::string(PICTURES_DIR) + "/" + name);
        ASSERT_TRUE(kept) << name;
        EXPECT_EQ(test_helpers::DescribeDifferences(
                      shown, test_helpers::Cropped(*kept, shown.width, shown.height)),
                  "")
            << name;
    };
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        CRect busy;
        dialog.busyLamp.GetClientRect(&busy);
        EXPECT_EQ(busy, CRect(0, 0, 18, 20));
        expectLamp(dialog.busyLamp, "lamp_130_0.ppm");
        expectLamp(dialog.readyLamp, "lamp_131_1.ppm");
        dialog.SetControlsIdle(false);
        expectLamp(dialog.busyLamp, "lamp_130_1.ppm");
        expectLamp(dialog.readyLamp, "lamp_131_0.ppm");
        dialog.SetControlsIdle(true);
    });
}

TEST_F(MainWindowStartUp, TheSystemMenuEndsWithTheAboutEntry) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        HMENU menu = ::GetSystemMenu(dialog.m_hWnd, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        wchar_t text[64] = {};
        ASSERT_GT(::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION), 0);
        EXPECT_STREQ(text, L"&About Sectorsmith...");
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), 16u);
    });
}

// What the About box showed: its caption, owner, and each control's place and text.
struct AboutSeen {
    bool shown = false;
    std::string caption;
    HWND owner = nullptr;
    std::vector<RECT> places;
    std::vector<RECT> expectedPlaces;
    std::vector<std::string> texts;
    bool iconShown = false;
};

void RecordAbout(HWND about, AboutSeen& seen) {
    const DialogTemplate* templ = platform::window::FindDialogTemplate(IDD_ABOUTBOX);
    seen.shown = true;
    seen.caption = TextOf(about);
    seen.owner = ::GetWindow(about, GW_OWNER);
    for (HWND child : ChildWindows(about)) {
        seen.places.push_back(RectInParent(child));
        seen.texts.push_back(TextOf(child));
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            ClassOf(child) == "Static") {
            seen.iconShown = ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
        }
    }
    for (const DialogItemTemplate& item : templ->items) {
        seen.expectedPlaces.push_back(DialogUnitsToPixels(about, item.rect));
    }
}

// Alt+Space opens the system menu; its last entry (Up from none chosen), then Enter, opens the
// About box; OK closes it.
TEST_F(MainWindowStartUp, TheAboutBoxOpensFromTheSystemMenu) {
    const DialogTemplate* templ = platform::window::FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(templ, nullptr);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        bool menuOpened = false;
        AboutSeen about;
        test_helpers::WhenWindowOpens([](HWND hwnd) { return ClassOf(hwnd) == "#32768"; },
                                      [&](HWND) {
                                          menuOpened = true;
                                          test_helpers::SendKey(VK_UP);
                                          test_helpers::SendKey(VK_RETURN);
                                      });
        test_helpers::WhenWindowOpens(test_helpers::IsDialogBox, [&](HWND box) {
            RecordAbout(box, about);
            test_helpers::ClickWindow(::GetDlgItem(box, IDOK));
        });
        test_helpers::PressKey(VK_SPACE, true);
        EXPECT_TRUE(menuOpened);
        ASSERT_TRUE(about.shown);
        EXPECT_EQ(about.caption, "About Tolvan");
        EXPECT_EQ(about.owner, dialog.m_hWnd);
        ASSERT_EQ(about.places.size(), templ->items.size());
        for (size_t i = 0; i < about.places.size(); ++i) {
            const DialogItemTemplate& item = templ->items[i];
            SCOPED_TRACE(item.text);
            RECT expected = about.expectedPlaces[i];
            if (item.resourceId != 0) {
                // An icon static takes the size of its icon.
                expected.right = expected.left + 32;
                expected.bottom = expected.top + 32;
            }
            EXPECT_TRUE(SameRect(about.places[i], expected));
            if (item.resourceId == 0) {
                EXPECT_EQ(about.texts[i], item.text);
            }
        }
        EXPECT_TRUE(about.iconShown);
        EXPECT_TRUE(::IsWindowVisible(dialog.m_hWnd));
        EXPECT_EQ(test_helpers::ThreadWindows().size(), 1u) << "the About box is closed";
    });
}

TEST_F(MainWindowStartUp, SystemCommands16To31OpenTheAboutBox) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        for (UINT id : {16u, 23u, 31u}) {
            SCOPED_TRACE(id);
            std::string caption;
            test_helpers::WhenWindowOpens(test_helpers::IsDialogBox, [&](HWND about) {
                caption = TextOf(about);
                ::SendMessageW(about, WM_COMMAND, IDOK, 0);
            });
            ::SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, id, 0);
            EXPECT_EQ(caption, "About Tolvan");
        }
    });
}

TEST_F(MainWindowStartUp, EnterInThePathEditEndsTheDialogThroughTheHiddenOkButton) {
    MainDialog dialog(storage);
    const intptr_t result = RunModal(dialog, [&](CDialog&) {
        ::SetFocus(::GetDlgItem(dialog.m_hWnd, IDC_RESTORE_PATH));
        test_helpers::PressKey(VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
}

}  // namespace
