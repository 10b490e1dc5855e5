#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "platform/window/menu.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/test_parent_window.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

namespace {

class SystemMenuTest : public test_helpers::WindowTest {};

QStringList EntriesOf(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return texts;
}

TEST_F(SystemMenuTest, AppendedEntriesShowAfterTheDefaultOnesAndSendTheirCommand) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        CMenu* menu = d.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        int defaults = menu->GetMenuItemCount();
        EXPECT_TRUE(menu->AppendMenu(MF_SEPARATOR));
        EXPECT_TRUE(menu->AppendMenu(MF_STRING, 0x0010, "&About Sectorsmith..."));
        EXPECT_EQ(menu->GetMenuItemCount(), defaults + 2);
        EXPECT_EQ(menu->GetMenuItemID(defaults + 1), 0x0010u);

        test_helpers::PressKey(&d, Qt::Key_Space, Qt::AltModifier);
        QMenu* open = test_helpers::OpenPopupMenu();
        ASSERT_NE(open, nullptr);
        QStringList texts = EntriesOf(open);
        EXPECT_EQ(texts.last(), "&About Sectorsmith...");
        EXPECT_EQ(texts[texts.size() - 2], "-");
        EXPECT_TRUE(texts.contains("&Close\tAlt+F4"));
        EXPECT_TRUE(texts.contains("Mi&nimize"));  // the template has WS_MINIMIZEBOX
        ASSERT_TRUE(test_helpers::ChoosePopupEntry("&About Sectorsmith..."));
        EXPECT_EQ(dialog.sysCommands, std::vector<UINT>{0x0010});
        EXPECT_TRUE(d.IsWindowVisible());  // default processing ignores unknown commands
    });
}

TEST_F(SystemMenuTest, ARightClickOnTheBackgroundOpensItAndCloseCancelsTheDialog) {
    SampleDialog dialog;
    intptr_t result = test_helpers::RunModal(dialog, [&](CDialog& d) {
        test_helpers::RightClick(&d, QPoint(3, 200));
        ASSERT_NE(test_helpers::OpenPopupMenu(), nullptr);
        ASSERT_TRUE(test_helpers::ChoosePopupEntry("&Close\tAlt+F4"));
        EXPECT_FALSE(d.IsWindowVisible());
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.sysCommands, std::vector<UINT>{SC_CLOSE});
}

TEST_F(SystemMenuTest, MinimiseWorksByDefaultProcessingAndRevertRestoresTheMenu) {
    SampleDialog dialog;
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        CMenu* menu = d.GetSystemMenu(FALSE);
        int defaults = menu->GetMenuItemCount();
        menu->AppendMenu(MF_STRING, 0x20, "Extra");
        EXPECT_EQ(d.GetSystemMenu(TRUE), nullptr);
        EXPECT_EQ(d.GetSystemMenu(FALSE)->GetMenuItemCount(), defaults);
        d.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(d.IsIconic());
        d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(d.IsIconic());
    });
    // A window without WS_SYSMENU has none.
    test_helpers::TestParentWindow plain;
    EXPECT_EQ(plain.Window().GetSystemMenu(FALSE), nullptr);
}

}  // namespace
