#include <gtest/gtest.h>

#include <QFontInfo>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "platform/window/qt/dialog_units.h"
#include "platform/window/qt/native_window.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

using platform::window::BaseUnitsOf;
using platform::window::DialogUnitsToPixels;
using platform::window::FindDialogTemplate;
using platform::window::MulDiv;
using platform::window::WidgetOf;

namespace {

TEST(DialogUnits, ConvertPositionAndSizeSeparatelyWithRounding) {
    // The classic 8-point dialog font has base units 6 x 13.
    platform::window::DialogBaseUnits classic{6, 13};
    EXPECT_EQ(DialogUnitsToPixels({0, 0, 320, 157}, classic), CRect(0, 0, 480, 255));
    // 119 * 6 / 4 = 178.5 -> 179; 57 * 13 / 8 = 92.6 -> 93; 50 -> 75; 14 -> 22.75 -> 23.
    EXPECT_EQ(DialogUnitsToPixels({119, 57, 50, 14}, classic), CRect(179, 93, 254, 116));
    EXPECT_EQ(MulDiv(-3, 3, 2), -5);  // rounds half away from zero
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(DialogUnits, BaseUnitsFollowTheFiftyTwoLetterRule) {
    test_helpers::EnsureQtApplication();
    QFont font = platform::window::DialogFont({8, 0, false, 1, "MS Sans Serif"});
    QFontMetrics fm(font);
    int total = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")) +
                fm.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    auto units = BaseUnitsOf(font);
    EXPECT_NEAR(units.x, total / 52.0, 0.5 + 1e-9);
    EXPECT_EQ(units.y, fm.height());
    // 8 points are 11 pixels at 96 dpi; a substitute for the missing classic face gets 10.
    EXPECT_EQ(font.pixelSize(), QFontInfo(font).family() == "MS Sans Serif" ? 11 : 10);
    EXPECT_FALSE(QFontInfo(font).family().isEmpty());
}

class DialogLayoutTest : public test_helpers::WindowTest {};

TEST_F(DialogLayoutTest, ControlsSitWhereTheTemplatePutsThemInDialogUnits) {
    SampleDialog dialog;
    const DialogTemplate* templ = FindDialogTemplate(kSampleDialogId);
    ASSERT_NE(templ, nullptr);
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        auto units = BaseUnitsOf(WidgetOf(d.m_hWnd)->font());
        CRect client;
        d.GetClientRect(&client);
        EXPECT_EQ(client, DialogUnitsToPixels({0, 0, 320, 157}, units));
        for (const DialogItemTemplate& item : templ->items) {
            if (item.id == -1 || item.windowClass == "ComboBox") {
                continue;
            }
            CWnd* control = d.GetDlgItem(item.id);
            ASSERT_NE(control, nullptr) << item.id;
            CRect r;
            control->GetWindowRect(&r);
            d.ScreenToClient(&r);
            EXPECT_EQ(r, DialogUnitsToPixels(item.rect, units)) << "control " << item.id;
        }
        // A combo box keeps the template's width; its closed height is one line, not the list's.
        CRect combo;
        d.GetDlgItem(1012)->GetWindowRect(&combo);
        CRect expected = DialogUnitsToPixels({45, 126, 204, 42}, units);
        EXPECT_EQ(combo.Width(), expected.Width());
        EXPECT_LT(combo.Height(), expected.Height());
    });
}

TEST_F(DialogLayoutTest, TemplateStylesGiveVisibilityStateAndCaption) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        std::string caption;
        d.GetWindowText(caption);
        EXPECT_EQ(caption, "Sample ");
        EXPECT_FALSE(d.GetDlgItem(IDOK)->IsWindowVisible());  // hidden OK button
        EXPECT_TRUE(d.GetDlgItem(1005)->IsWindowVisible());
        EXPECT_TRUE(d.GetDlgItem(1005)->IsWindowEnabled());
        EXPECT_EQ(d.GetDlgItem(1005)->GetExStyle(), WS_EX_STATICEDGE);
        std::string label;
        d.GetDlgItem(1005)->GetWindowText(label);
        EXPECT_EQ(label, "Start Restore");
        // A static edge takes one pixel off each side of the client area.
        CRect window, client;
        d.GetDlgItem(1005)->GetWindowRect(&window);
        d.GetDlgItem(1005)->GetClientRect(&client);
        EXPECT_EQ(client.Width(), window.Width() - 2);
        EXPECT_EQ(client.Height(), window.Height() - 2);
    });
}

TEST_F(DialogLayoutTest, UnsoundOrMissingTemplatesFailDoModal) {
    class Broken : public CDialog {
      public:
        Broken() : CDialog(kBrokenDialogId) { RegisterTestTemplates(); }
    } broken;
    EXPECT_EQ(platform::window::CheckDialogTemplate(*FindDialogTemplate(kBrokenDialogId)),
              "control identifier 1100 used twice; ");
    EXPECT_EQ(broken.DoModal(), -1);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
    DialogTemplate unknownClass;
    unknownClass.items.push_back({5, "NoSuchClass", "", 0, 0, {}});
    EXPECT_NE(platform::window::CheckDialogTemplate(unknownClass).find("unknown class"),
              std::string::npos);
}

TEST_F(DialogLayoutTest, AccessibilityNamingNoControlOrLabelIsUnsound) {
    DialogTemplate t;
    t.items.push_back({5, "Edit", "", 0, 0, {}});
    t.items.push_back({-1, "Static", "Name", 0, 0, {}});
    t.accessibility.items = {{5, "Name", "Name", "", AccessibleRole::FromClass, 0}};
    t.accessibility.tabOrder = {5};
    EXPECT_EQ(platform::window::CheckDialogTemplate(t), "");
    t.accessibility.items.push_back({6, "Other", "", "", AccessibleRole::FromClass, 0});
    t.accessibility.items.push_back({5, "Name", "No such label", "", AccessibleRole::FromClass, 0});
    t.accessibility.items.push_back({5, "Name", "", "", AccessibleRole::FromClass, 7});
    t.accessibility.tabOrder = {5, -1};
    EXPECT_EQ(platform::window::CheckDialogTemplate(t),
              "accessibility of control 6: no such control or label; "
              "accessibility of control 5: no such control or label; "
              "accessibility of control 5: no such control or label; "
              "tab order: no control -1; ");
}

}  // namespace

namespace {

// Leftmost and rightmost columns of image (between rows top and bottom) with dark ink.
std::pair<int, int> InkedColumns(const QImage& image, int top, int bottom) {
    int left = image.width();
    int right = -1;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 80) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

TEST_F(DialogLayoutTest, CaptionsFitTheControlsTheTemplateMadeForThem) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        // "Start Restore" in its 50-unit button with a static edge, in the dialog's font.
        QImage button = test_helpers::GrabWindow(d.GetDlgItem(1005));
        auto [left, right] = InkedColumns(button, 4, button.height() - 4);
        EXPECT_GT(left, 3);
        EXPECT_LT(right, button.width() - 4);
    });
}

}  // namespace
