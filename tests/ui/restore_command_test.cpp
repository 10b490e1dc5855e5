#include <gtest/gtest.h>

#include <QTimer>
#include <functional>

#include "platform/window/qt/native_window.h"
#include "platform/window/win_app.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::AnswerNextMessageBox;
using test_helpers::RunModal;

constexpr char kQuestion[] =
    "All of the data on logical disk(s) E:\\ F:\\  will be erased\n       Are you sure???";

class RestoreCommand : public MainWindowTest {
  protected:
    // The operator picks the stick as target; false when it is not offered.
    static bool ChooseStick(MainDialog& dialog) {
        const int index = TargetIndexOf(dialog, "PHYSICALDRIVE1");
        dialog.targetDriveCombo.SetCurSel(index);
        return index >= 0;
    }
    // The operator's preparation: the image through the Open dialog, then the stick as target.
    static bool ChooseImageAndStick(MainDialog& dialog, const std::string& image) {
        ChooseImage(dialog, image);
        return ChooseStick(dialog);
    }
};

TEST_F(RestoreCommand, WithoutATargetNothingHappens) {
    MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        const int busyPaints = test_helpers::PaintCount(&dialog.busyLamp);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        EXPECT_EQ(test_helpers::PaintCount(&dialog.busyLamp), busyPaints);
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, AnsweringNoWritesNothing) {
    const std::string image = MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ASSERT_TRUE(ChooseImageAndStick(dialog, image));
        int busyDuringBox = -1;
        int readyDuringBox = -1;
        auto seen = AnswerBox(false, [&] {
            busyDuringBox = dialog.busyLamp.GetState();
            readyDuringBox = dialog.readyLamp.GetState();
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        ASSERT_TRUE(seen->shown);
        EXPECT_EQ(seen->text, kQuestion);
        EXPECT_EQ(seen->title, AfxGetAppName());
        EXPECT_EQ(seen->icon, QMessageBox::Warning);
        EXPECT_EQ(seen->defaultButton, "&No");
        EXPECT_EQ(busyDuringBox, 1);
        EXPECT_EQ(readyDuringBox, 0);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_TRUE(Enabled(dialog, IDC_START_RESTORE));
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, AnsweringYesRestoresTheChosenImage) {
    const std::string image = MakeImage("a.img", 5000);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImage(dialog, image);
        std::string shown;
        dialog.GetDlgItem(IDC_RESTORE_PATH)->GetWindowText(shown);
        EXPECT_EQ(shown, image);
        ASSERT_TRUE(ChooseStick(dialog));
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
        EXPECT_NE(dialog.messageList.GetItemToolTip(0).find("read back from the drive: they "
                                                            "match"),
                  std::string::npos);
        ASSERT_NE(dialog.meter, nullptr);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_TRUE(Enabled(dialog, IDC_TARGET_DRIVE));
    });
    EXPECT_EQ(StickPrefix(5000), storage.File(image)->bytes);
    EXPECT_EQ(stick->bytes[5000], 0xAA);
}

// The row keeps the engine's text; resting the pointer on it tells why.
TEST_F(RestoreCommand, AnErrorRowsTooltipTellsItsCause) {
    const std::string image = MakeImage("long.img", (2u << 20) + 1);  // longer than the stick
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImage(dialog, image);
        ASSERT_TRUE(ChooseStick(dialog));
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0).substr(8),
                  "  Error: the size of the destination file is more "
                  "than 2GB or less than 2KB...");
        EXPECT_EQ(dialog.messageList.GetItemToolTip(0),
                  "The image holds 2.1 MB (2097153 bytes), more than the whole drive holds: 2.1 "
                  "MB (2097152 bytes). Nothing was written.");
        EXPECT_TRUE(dialog.reportDetail.empty());  // only while the report is made
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, StopEndsTheRestoreAtTheNextBlock) {
    const std::string image = MakeImage("big.img", 1u << 20);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ASSERT_TRUE(ChooseImageAndStick(dialog, image));
        bool restoreControlsWereDisabled = false;
        AnswerBox(true, [&] {
            // Once the box is answered, the click on Stop arrives while the restore runs.
            QTimer::singleShot(0, [&] {
                restoreControlsWereDisabled = !Enabled(dialog, IDC_START_RESTORE);
                test_helpers::ClickControl(&dialog, IDC_STOP_RESTORE);
            });
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        EXPECT_TRUE(restoreControlsWereDisabled);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_NE(Row(dialog, 0).find(" Error: User aborts restoring"), std::string::npos);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_TRUE(Enabled(dialog, IDC_START_RESTORE));
    });
    EXPECT_GE(stick->bytesWritten, 2048u);
    EXPECT_LT(stick->bytesWritten, 1u << 20);
    EXPECT_EQ(stick->bytesWritten % 2048, 0u);
}

TEST_F(RestoreCommand, CancelledDialogGivesAnEmptyPathAndTheEnginesMessage) {
    const std::string image = MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImage(dialog, image);
        CancelImageChoice(dialog);
        EXPECT_EQ(dialog.chosenRestorePath, "");
        std::string shown;
        dialog.GetDlgItem(IDC_RESTORE_PATH)->GetWindowText(shown);
        EXPECT_EQ(shown, image);

        ASSERT_TRUE(ChooseStick(dialog));
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_NE(Row(dialog, 0).find(" Error: Error opening image file"), std::string::npos);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, StopWhileIdleOnlyMovesTheMeterBack) {
    const std::string image = MakeImage("a.img", 8192);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ASSERT_TRUE(ChooseImageAndStick(dialog, image));
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_NE(dialog.meter, nullptr);
        EXPECT_GT(dialog.meter->GetPos(), 0);
        test_helpers::ClickControl(&dialog, IDC_STOP_RESTORE);
        EXPECT_EQ(dialog.meter->GetPos(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.messageList.GetItemCount(), 1);

        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 2);
        EXPECT_EQ(Row(dialog, 1), "Finished");
    });
}

// Each way of closing the window while a restore runs: it stays until the restore has ended,
// then closes with that way's result.
struct CloseWay {
    const char* name;
    intptr_t result;
    std::function<void(MainDialog&)> close;
};

void PrintTo(const CloseWay& way, std::ostream* out) {
    *out << way.name;
}

class ClosingDuringARestore : public RestoreCommand,
                              public ::testing::WithParamInterface<CloseWay> {};

TEST_P(ClosingDuringARestore, WaitsForItToFinish) {
    const std::string image = MakeImage("big.img", 256u << 10);
    MainDialog dialog(storage);
    bool visibleAfterClose = false;
    const intptr_t result = RunModal(dialog, [&](CDialog&) {
        ASSERT_TRUE(ChooseImageAndStick(dialog, image));
        AnswerBox(true, [&] {
            QTimer::singleShot(0, [&] {
                // The close arrives while the restore runs: the window must stay.
                GetParam().close(dialog);
                visibleAfterClose = dialog.IsWindowVisible() && !dialog.readyLamp.GetState();
            });
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
    });
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(result, GetParam().result);
    EXPECT_EQ(StickPrefix(256u << 10), storage.File(image)->bytes);
}

INSTANTIATE_TEST_SUITE_P(
    RestoreCommand, ClosingDuringARestore,
    ::testing::Values(
        CloseWay{"Enter", IDOK, [](MainDialog& d) { d.SendMessage(WM_COMMAND, IDOK, 0); }},
        CloseWay{"Escape", IDCANCEL,
                 [](MainDialog& d) { test_helpers::PressKey(&d, Qt::Key_Escape); }},
        CloseWay{"CloseBox", IDCANCEL,
                 [](MainDialog& d) { platform::window::WidgetOf(d.m_hWnd)->close(); }}),
    [](const ::testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.name); });

TEST_F(RestoreCommand, AboutBoxDuringARestoreHoldsItUntilClosed) {
    const std::string image = MakeImage("big.img", 256u << 10);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ASSERT_TRUE(ChooseImageAndStick(dialog, image));
        std::string aboutCaption;
        int rowsWhileAboutShown = -1;
        AnswerBox(true, [&] {
            QTimer::singleShot(0, [&] {
                test_helpers::WhenNextModalOpens([&](QWidget* about) {
                    aboutCaption = about->windowTitle().toStdString();
                    rowsWhileAboutShown = dialog.messageList.GetItemCount();
                    about->close();
                });
                dialog.SendMessage(WM_SYSCOMMAND, 16, 0);
            });
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        EXPECT_EQ(aboutCaption, "About Tolvan");
        EXPECT_EQ(rowsWhileAboutShown, 0);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
    });
    EXPECT_EQ(StickPrefix(256u << 10), storage.File(image)->bytes);
}

}  // namespace
