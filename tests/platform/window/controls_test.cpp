#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>
#include <cstdlib>

#include "platform/draw/qt/font_data.h"
#include "platform/draw/qt/icon_data.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/win_app.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/test_parent_window.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

using platform::window::WidgetOf;

namespace {

class ControlsTest : public test_helpers::WindowTest {};

TEST_F(ControlsTest, ComboBoxKeepsInsertedOrderDataAndHasNoSelectionUntilSet) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog&) {
        CComboBox& combo = dialog.combo;
        int first = 1;
        int second = 2;
        combo.ResetContent();
        EXPECT_EQ(combo.InsertString(0, "PHYSICALDRIVE2 (E:\\ )"), 0);
        EXPECT_EQ(combo.InsertString(1, "PHYSICALDRIVE1 (D:\\ )"), 1);  // sorted style ignored
        EXPECT_EQ(combo.InsertString(5, "beyond"), CB_ERR);
        combo.SetItemDataPtr(0, &first);
        combo.SetItemDataPtr(1, &second);
        EXPECT_EQ(combo.GetCurSel(), CB_ERR);
        EXPECT_EQ(combo.SetCurSel(1), 1);
        EXPECT_EQ(combo.GetCurSel(), 1);
        EXPECT_EQ(combo.GetItemDataPtr(combo.GetCurSel()), &second);
        std::string text;
        combo.GetLBText(0, text);
        EXPECT_EQ(text, "PHYSICALDRIVE2 (E:\\ )");
        EXPECT_EQ(combo.SetCurSel(-1), CB_ERR);
        EXPECT_EQ(combo.GetCurSel(), CB_ERR);
        EXPECT_EQ(combo.GetItemDataPtr(7), nullptr);
        // CBS_SORT orders what AddString adds.
        combo.ResetContent();
        combo.AddString("b");
        combo.AddString("a");
        combo.GetLBText(0, text);
        EXPECT_EQ(text, "a");
        EXPECT_EQ(combo.GetCount(), 2);
    });
}

TEST_F(ControlsTest, ClosedComboBoxShowsTheSelectedItemsTipAndThenTheListTip) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog&) {
        CComboBox& combo = dialog.combo;
        QWidget* box = WidgetOf(combo.m_hWnd);
        combo.ResetContent();
        combo.SetListTip("why the others are missing");
        EXPECT_EQ(box->toolTip(), "why the others are missing");  // also while the list is empty
        combo.InsertString(0, "first");
        combo.InsertString(1, "second");
        combo.SetItemTip(0, "first's details");
        combo.SetCurSel(0);
        EXPECT_EQ(box->toolTip(), "first's details\n\nwhy the others are missing");
        combo.SetCurSel(1);  // an item without a tooltip of its own
        EXPECT_EQ(box->toolTip(), "why the others are missing");
        combo.SetCurSel(0);
        combo.SetListTip("");
        EXPECT_EQ(box->toolTip(), "first's details");
        combo.SetListTip("changed");
        EXPECT_EQ(box->toolTip(), "first's details\n\nchanged");
        combo.ResetContent();  // the items go, the list's tip stays
        EXPECT_EQ(box->toolTip(), "changed");
        EXPECT_EQ(combo.GetItemTip(0), "");
    });
}

TEST_F(ControlsTest, ReportListAddsRowsScrollsOnlyWhenNeededAndLeavesTheSelection) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog&) {
        CListCtrl& list = dialog.list;
        CRect outer;
        list.GetWindowRect(&outer);
        list.DeleteAllItems();
        EXPECT_EQ(list.InsertColumn(0, "Messages", LVCFMT_CENTER, outer.Width() - 6, 0), 0);
        EXPECT_EQ(list.GetColumnWidth(0), outer.Width() - 6);
        list.SetBkColor(RGB(211, 244, 228));
        list.SetTextBkColor(RGB(211, 244, 228));
        EXPECT_EQ(list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), 0u);
        auto* table = dynamic_cast<QTableWidget*>(WidgetOf(list.m_hWnd));
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->showGrid());
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Messages");
        EXPECT_EQ(list.GetBkColor(), RGB(211, 244, 228));

        for (int n = 0; n < 30; ++n) {
            int count = list.GetItemCount();
            EXPECT_EQ(list.InsertItem(LVIF_TEXT, count, "", 0, 0, 0, 0), count);
            list.SetItemText(count, 0, ("row " + std::to_string(count)).c_str());
            list.EnsureVisible(count, TRUE);
            list.SetSelectionMark(count);
            list.SetHotItem(count);
            list.Update(count);
        }
        EXPECT_EQ(list.GetItemCount(), 30);
        EXPECT_EQ(list.GetItemText(29, 0), "row 29");
        EXPECT_EQ(list.GetSelectionMark(), 29);
        EXPECT_EQ(list.GetHotItem(), 29);
        EXPECT_TRUE(table->selectedItems().isEmpty());
        // The last row is in view; the list scrolled down to it.
        int top = list.GetTopIndex();
        EXPECT_GT(top, 0);
        EXPECT_LE(29, top + list.GetCountPerPage());
        // The visible area holds whole rows: the row after the last one that fits is not cut at
        // the bottom edge but hidden, so even with partialOK it is scrolled into view.
        list.EnsureVisible(0, TRUE);
        EXPECT_EQ(list.GetTopIndex(), 0);
        const int per = list.GetCountPerPage();
        EXPECT_EQ(table->viewport()->height() % table->rowHeight(0), 0);
        list.EnsureVisible(per - 1, TRUE);
        EXPECT_EQ(list.GetTopIndex(), 0);
        list.EnsureVisible(per, TRUE);
        EXPECT_EQ(list.GetTopIndex(), 1);
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.GetItemCount(), 0);
    });
}

TEST_F(ControlsTest, EnablingHidingAndTextsOfControls) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        CWnd* start = d.GetDlgItem(1005);
        EXPECT_FALSE(start->EnableWindow(FALSE));
        EXPECT_FALSE(start->IsWindowEnabled());
        EXPECT_TRUE(start->GetStyle() & WS_DISABLED);
        test_helpers::ClickControl(&d, 1005);
        EXPECT_EQ(dialog.starts, 0);  // a disabled button takes no click
        EXPECT_TRUE(start->EnableWindow(TRUE));
        test_helpers::ClickControl(&d, 1005);
        EXPECT_EQ(dialog.starts, 1);
        start->ShowWindow(SW_HIDE);
        EXPECT_FALSE(start->IsWindowVisible());
        start->ShowWindow(SW_SHOW);
        EXPECT_TRUE(start->IsWindowVisible());
        CWnd* line = d.GetDlgItem(1018);
        line->SetWindowText("(12:03:05 - 00:00:00 - 0% / 100% - 00:00:00 - 12:03:05)");
        std::string text;
        line->GetWindowText(text);
        EXPECT_EQ(text, "(12:03:05 - 00:00:00 - 0% / 100% - 00:00:00 - 12:03:05)");
        EXPECT_EQ(line->GetWindowTextLength(), static_cast<int>(text.size()));
        EXPECT_FALSE(platform::draw::QFontOf(*line->GetFont()).family().isEmpty());
        dialog.progress.SetRange32(0, 1000);
        dialog.progress.SetPos(400);
        EXPECT_EQ(dialog.progress.GetPos(), 400);
    });
}

TEST_F(ControlsTest, CheckBoxTogglesOnClickAndPushButtonsDoNot) {
    test_helpers::TestParentWindow parent(CSize(200, 100));
    CButton box;
    ASSERT_TRUE(box.CreateEx(0, "Button", "Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                             CRect(5, 5, 100, 25), &parent.Window(), 50));
    test_helpers::ClickControl(&parent.Window(), 50);
    EXPECT_EQ(box.GetCheck(), BST_CHECKED);
    box.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
    CButton push;
    ASSERT_TRUE(push.CreateEx(0, "Button", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              CRect(5, 30, 100, 50), &parent.Window(), 51));
    test_helpers::ClickControl(&parent.Window(), 51);
    EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);
}

TEST_F(ControlsTest, TheSampleDialogLooksLikeTheMainWindow) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        dialog.list.InsertColumn(0, "Messages", LVCFMT_CENTER, 400, 0);
        dialog.list.SetBkColor(RGB(211, 244, 228));
        dialog.list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        dialog.list.InsertItem(0, "12:03:05  Error: Not enough space");
        dialog.combo.InsertString(0, "PHYSICALDRIVE1  E:\\ ");
        d.GetDlgItem(1018)->SetWindowText(
            "(12:03:05 - 00:00:02 - 45% / 55% - 00:00:03 - 12:03:10)");
        QImage image = test_helpers::GrabWindow(&d);
        ASSERT_FALSE(image.isNull());
        const char* out = std::getenv("SECTORSMITH_WINDOW_PNG");
        if (out != nullptr) {
            EXPECT_TRUE(image.save(out, "PNG"));
        }
        // The dialog background is the application's dialog colour.
        COLORREF bk = platform::window::DialogBkColor();
        EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2),
                  QColor(GetRValue(bk), GetGValue(bk), GetBValue(bk)));
    });
}

}  // namespace

namespace {

// Rows of image (inside rect) that hold a pixel much darker than the background.
std::vector<int> InkedRows(const QImage& image) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

TEST_F(ControlsTest, StaticsBreakLinesDrawIconsAndSunkenFrames) {
    test_helpers::TestParentWindow parent(CSize(200, 120));
    CWnd* label = parent.AddControl("Static", "Target \n (max 2G)", WS_VISIBLE | SS_LEFT,
                                    CRect(0, 0, 80, 40), -1);
    ASSERT_NE(label, nullptr);
    std::vector<int> rows = InkedRows(test_helpers::GrabWindow(label));
    ASSERT_FALSE(rows.empty());
    // Two lines of text: a gap of blank rows between the first and the last inked row.
    bool gap = false;
    for (size_t i = 1; i < rows.size(); ++i) {
        gap = gap || rows[i] > rows[i - 1] + 1;
    }
    EXPECT_TRUE(gap);

    CWnd* icon =
        parent.AddControl("Static", "#128", WS_VISIBLE | SS_ICON, CRect(90, 0, 122, 32), -1);
    ASSERT_NE(icon, nullptr);
    QImage drawn = test_helpers::GrabWindow(icon);
    QImage expected = IconImage(LoadIconResource(128), 32);
    ASSERT_FALSE(expected.isNull());
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (expected.pixelColor(x, y).alpha() == 255) {
                ++opaque;
                EXPECT_EQ(drawn.pixelColor(x, y).rgb(), expected.pixelColor(x, y).rgb());
            }
        }
    }
    EXPECT_GT(opaque, 0);
    // Given less room than its icon, an icon static takes the icon's size; with SS_CENTERIMAGE
    // it keeps its size and centres the icon.
    CWnd* small =
        parent.AddControl("Static", "#128", WS_VISIBLE | SS_ICON, CRect(130, 0, 150, 20), -1);
    ASSERT_NE(small, nullptr);
    CRect placed;
    small->GetClientRect(&placed);
    EXPECT_EQ(placed, CRect(0, 0, 32, 32));
    EXPECT_EQ(test_helpers::GrabWindow(small), test_helpers::GrabWindow(icon));
    CWnd* centred = parent.AddControl("Static", "#128", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE,
                                      CRect(130, 40, 170, 80), -1);
    ASSERT_NE(centred, nullptr);
    centred->GetClientRect(&placed);
    EXPECT_EQ(placed, CRect(0, 0, 40, 40));
    EXPECT_EQ(test_helpers::GrabWindow(centred).copy(4, 4, 32, 32), test_helpers::GrabWindow(icon));

    CWnd* frame = parent.AddControl("Static", "", WS_VISIBLE | SS_BLACKFRAME | SS_SUNKEN,
                                    CRect(0, 50, 60, 80), -1);
    ASSERT_NE(frame, nullptr);
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 58, 28));  // the sunken edge is a static edge
    QImage framed = test_helpers::GrabWindow(frame);
    EXPECT_EQ(framed.pixelColor(1, 1), QColor(Qt::black));  // the black frame inside
    EXPECT_EQ(framed.pixelColor(58, 28), QColor(Qt::black));
    EXPECT_NE(framed.pixelColor(0, 0), QColor(Qt::black));  // the edge outside
}

}  // namespace
