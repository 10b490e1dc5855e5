// The main window's accessibility tree in the process itself, as Qt hands it to the AT-SPI bridge:
// what is offered, under which names and roles, the lamps' and the bar's states, and what is
// announced during a restore. (The AT-SPI events themselves are the concern of
// accessibility_test.cpp, on a virtual screen.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>

#include "platform/window/qt/native_window.h"
#include "tests/helpers/pump_hook.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class AccessibleWindow : public MainWindowTest {
  protected:
    static QAccessibleInterface* Window(MainDialog& dialog) {
        return QAccessible::queryAccessibleInterface(platform::window::WidgetOf(dialog.m_hWnd));
    }
    static QAccessibleInterface* Control(MainDialog& dialog, int id) {
        return QAccessible::queryAccessibleInterface(
            platform::window::WidgetOf(dialog.GetDlgItem(id)->m_hWnd));
    }
    static std::string Name(QAccessibleInterface* object) {
        return object->text(QAccessible::Name).toStdString();
    }
    static std::string Description(QAccessibleInterface* object) {
        return object->text(QAccessible::Description).toStdString();
    }
    // The window's notification, as a screen reader reads it when it shows: the text announced
    // last; empty before the first announcement.
    static std::string Announced(MainDialog& dialog) {
        QAccessibleInterface* window = Window(dialog);
        QAccessibleInterface* last = window->child(window->childCount() - 1);
        return last->role() == QAccessible::Notification ? Name(last) : std::string();
    }
};

TEST_F(AccessibleWindow, OffersTheShownControlsOnlyEachWithItsNameAndRole) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        QAccessibleInterface* window = Window(dialog);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->role(), QAccessible::Window);
        std::vector<std::pair<QAccessible::Role, std::string>> offered;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(window->indexOfChild(child), i);
            EXPECT_FALSE(child->state().invisible) << Name(child);
            offered.emplace_back(child->role(), Name(child));
        }
        using R = QAccessible::Role;
        const std::vector<std::pair<QAccessible::Role, std::string>> expected = {
            {R::ProgressBar, "Progress"},
            {R::Grouping, "Restore image to physical drive  (max. 2Gb)"},
            {R::Table, "Messages"},
            {R::Button, "Start Restore"},
            {R::Button, "Stop"},
            {R::ComboBox, "Target"},
            {R::StaticText, "Target (max 2G)"},
            {R::EditableText, "Source image"},
            {R::StaticText, "Source image"},
            {R::Button, "..."},
            {R::StatusBar, "Busy lamp"},
            {R::StatusBar, "Ready lamp"},
            {R::StaticText, ""},  // the meter's line, empty until a transfer starts
        };
        EXPECT_EQ(offered, expected);
        EXPECT_EQ(Description(Control(dialog, IDC_BROWSE_RESTORE)), "Choose the image file");
        // The labels are the buddies Qt on Linux reads a combo box's and a field's label from.
        for (int id : {IDC_TARGET_DRIVE, IDC_RESTORE_PATH}) {
            EXPECT_EQ(Control(dialog, id)->relations(QAccessible::Label).size(), 1) << id;
        }
    });
}

TEST_F(AccessibleWindow, LampsTellTheirStateAndDisabledControlsKeepTheirNames) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_EQ(Description(Control(dialog, IDC_BUSY_LAMP)), "unlit");
        EXPECT_EQ(Description(Control(dialog, IDC_READY_LAMP)), "lit");
        dialog.SetControlsIdle(false);
        EXPECT_EQ(Description(Control(dialog, IDC_BUSY_LAMP)), "lit");
        EXPECT_EQ(Description(Control(dialog, IDC_READY_LAMP)), "unlit");
        EXPECT_TRUE(Control(dialog, IDC_TARGET_DRIVE)->state().disabled);
        EXPECT_EQ(Name(Control(dialog, IDC_TARGET_DRIVE)), "Target");
        EXPECT_EQ(Name(Control(dialog, IDC_RESTORE_PATH)), "Source image");
        EXPECT_EQ(Name(Control(dialog, IDC_START_RESTORE)), "Start Restore");
        EXPECT_FALSE(Control(dialog, IDC_STOP_RESTORE)->state().disabled);
        dialog.SetControlsIdle(true);
        EXPECT_EQ(Description(Control(dialog, IDC_BUSY_LAMP)), "unlit");
    });
}

TEST_F(AccessibleWindow, TheBarReadsTheMetersPositionAndLineWhileTheAnchorStaysUndriven) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.SetProgressRange(1000);
        dialog.SetProgressPos(450);
        QAccessibleInterface* bar = Control(dialog, IDC_PROGRESS);
        QAccessibleValueInterface* value = bar->valueInterface();
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->currentValue().toInt(), 450);
        EXPECT_EQ(value->minimumValue().toInt(), 0);
        EXPECT_EQ(value->maximumValue().toInt(), 1000);
        EXPECT_EQ(bar->text(QAccessible::Value).toStdString(), "45%");
        EXPECT_NE(Description(bar).find("45% / 55%"), std::string::npos) << Description(bar);
        EXPECT_EQ(dialog.progressCtrl.GetPos(), 0);
        // The meter over the bar is a picture of it: not offered beside it.
        QAccessibleInterface* window = Window(dialog);
        int bars = 0;
        for (int i = 0; i < window->childCount(); ++i) {
            bars += window->child(i)->role() == QAccessible::ProgressBar;
            EXPECT_NE(window->child(i)->object(),
                      platform::window::WidgetOf(dialog.meter->GetSafeHwnd()));
        }
        EXPECT_EQ(bars, 1);
    });
}

TEST_F(AccessibleWindow, NewRowsAndTheReadBackAreAnnounced) {
    const std::string image = MakeImage("a.img", 64 * 1024);
    MainDialog dialog(storage);
    std::vector<std::string> heard;
    auto listen = [&] {
        const std::string text = Announced(dialog);
        if (!text.empty() && (heard.empty() || heard.back() != text)) {
            heard.push_back(text);
        }
    };
    RunModal(dialog, [&](CDialog&) {
        EXPECT_EQ(Announced(dialog), "");
        dialog.ReportError("Write I/O error");
        listen();
        ChooseImage(dialog, image);
        dialog.targetDriveCombo.SetCurSel(0);
        AnswerBox(true, [] {});
        testing_support::PumpHook eachBlock([&](int) { listen(); });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        listen();
        ASSERT_EQ(dialog.messageList.GetItemCount(), 2);
        EXPECT_EQ(Row(dialog, 1), "Finished");
    });
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_NE(heard[0].find("  Error: Write I/O error"), std::string::npos) << heard[0];
    EXPECT_EQ(heard[1], "Written. Reading the drive back to check it");
    EXPECT_EQ(heard[2], "Read-back ended: Finished");
}

}  // namespace
