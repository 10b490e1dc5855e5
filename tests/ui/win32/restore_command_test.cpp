// The restore on Windows through the real window, as the operator does it: the image chosen in
// the Open dialog, the stick picked in the target list, Start Restore clicked, the question
// answered, Stop clicked while the restore runs.
#include <gtest/gtest.h>

#include "platform/window/win_app.h"
#include "tests/helpers/picture.h"
#include "tests/ui/win32/main_window_fixture.h"

namespace {

using namespace std::chrono_literals;
using test_helpers::AnswerNextMessageBox;
using test_helpers::RunModal;

constexpr char kQuestion[] =
    "All of the data on logical disk(s) E:\\ F:\\  will be erased\n       Are you sure???";

class RestoreCommand : public MainWindowTest {
  protected:
    // The operator's preparation: the image through the Open dialog, then the stick as target.
    static void ChooseImageAndStick(MainDialog& dialog, const std::string& image) {
        ChooseImage(dialog, image);
        PickTarget(dialog, 0);
    }
};

TEST_F(RestoreCommand, WithoutATargetNothingHappens) {
    MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        EXPECT_EQ(test_helpers::ThreadWindows().size(), 1u) << "no box";
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, TheQuestionAnsweredNoWritesNothing) {
    const std::string image = MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImageAndStick(dialog, image);
        int busyDuringBox = -1;
        int readyDuringBox = -1;
        bool restoreEnabledDuringBox = true;
        auto seen = AnswerNextMessageBox(IDNO, [&] {
            busyDuringBox = dialog.busyLamp.GetState();
            readyDuringBox = dialog.readyLamp.GetState();
            restoreEnabledDuringBox = Enabled(dialog, IDC_TARGET_DRIVE);
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        ASSERT_TRUE(seen->shown);
        EXPECT_EQ(seen->text, kQuestion);
        EXPECT_EQ(seen->title, AfxGetAppName());
        EXPECT_EQ(seen->buttons, (std::vector<std::string>{"&Yes", "&No", "Hide Details..."}));
        EXPECT_EQ(seen->defaultButton, "&No");
        EXPECT_EQ(seen->focus, "&No");
        EXPECT_EQ(seen->details, "No details are known of this drive.");
        EXPECT_EQ(seen->icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
        // The application's dialog colours, as on the main window.
        EXPECT_EQ(seen->background, RGB(218, 215, 180));
        EXPECT_EQ(seen->textBackground, RGB(218, 215, 180));
        EXPECT_EQ(seen->textColour, RGB(0, 0, 0));
        EXPECT_EQ(busyDuringBox, 1);
        EXPECT_EQ(readyDuringBox, 0);
        EXPECT_FALSE(restoreEnabledDuringBox);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_TRUE(Enabled(dialog, IDC_START_RESTORE));
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, YesRestoresTheImageChosenInTheOpenDialog) {
    const std::string image = MakeImage("a.img", 5000);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        auto openDialog = test_helpers::AnswerNextFileDialog(image);
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
        ASSERT_TRUE(openDialog->shown);
        EXPECT_EQ(openDialog->proposedName, "*.img");
        EXPECT_EQ(dialog.chosenRestorePath, image);
        EXPECT_EQ(test_helpers::TextOf(::GetDlgItem(dialog.m_hWnd, IDC_RESTORE_PATH)), image);

        PickTarget(dialog, 0);
        EXPECT_EQ(dialog.targetDriveCombo.GetCurSel(), 0);
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
        ASSERT_NE(dialog.meter, nullptr);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_TRUE(Enabled(dialog, IDC_TARGET_DRIVE));

        // The last meter stays over the progress control, full: its bar's columns are those of
        // the Linux meter at 1000 (kept 300 pixels wide; this one is wider).
        const test_helpers::Picture meter = test_helpers::GrabClientArea(dialog.meter.get());
        const auto kept = test_helpers::ReadPicture(std::string(PICTURES_DIR) + "/meter_1000.ppm");
        ASSERT_TRUE(kept);
        ASSERT_EQ(meter.height, kept->height);
        for (int y = 0; y < meter.height; ++y) {
            EXPECT_EQ(meter.At(150, y), kept->At(150, y)) << "row " << y;
        }
    });
    ASSERT_NE(storage.File(image), nullptr);
    EXPECT_EQ(StickPrefix(5000), storage.File(image)->bytes);
    EXPECT_EQ(stick->bytes[5000], 0xAA);
}

// A click on Stop while the restore runs reaches the engine through the message it dispatches
// between blocks: the restore ends at the next block with its abort message.
TEST_F(RestoreCommand, StopClickedWhileTheRestoreRunsEndsIt) {
    const std::string image = MakeImage("big.img", 1u << 20);
    stick->writeTime = 2ms;  // about a second for the whole image
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImageAndStick(dialog, image);
        bool startWasDisabled = false;
        int meterAfterStop = -1;
        AnswerNextMessageBox(IDYES, [&] {
            test_helpers::RunLater(200, [&] {
                startWasDisabled = !Enabled(dialog, IDC_START_RESTORE);
                test_helpers::ClickControl(&dialog, IDC_STOP_RESTORE);
                meterAfterStop = dialog.meter ? dialog.meter->GetPos() : -1;
            });
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);

        EXPECT_TRUE(startWasDisabled);
        EXPECT_EQ(meterAfterStop, 0) << "Stop moves the meter back at once";
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_NE(Row(dialog, 0).find(" Error: User aborts restoring"), std::string::npos)
            << Row(dialog, 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_TRUE(Enabled(dialog, IDC_START_RESTORE));
    });
    EXPECT_GE(stick->bytesWritten, 2048u);
    EXPECT_LT(stick->bytesWritten, 1u << 20);
}

TEST_F(RestoreCommand, ACancelledOpenDialogGivesTheEngineAnEmptyPath) {
    const std::string image = MakeImage("a.img", 4096);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImage(dialog, image);
        test_helpers::CancelNextFileDialog();
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
        EXPECT_EQ(dialog.chosenRestorePath, "");
        EXPECT_EQ(test_helpers::TextOf(::GetDlgItem(dialog.m_hWnd, IDC_RESTORE_PATH)), image);

        PickTarget(dialog, 0);
        AnswerNextMessageBox(IDYES);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_NE(Row(dialog, 0).find(" Error: Error opening image file"), std::string::npos);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(RestoreCommand, TheAboutBoxDuringARestoreHoldsItUntilClosed) {
    const std::string image = MakeImage("big.img", 1u << 20);
    stick->writeTime = 2ms;
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        ChooseImageAndStick(dialog, image);
        std::string aboutCaption;
        int rowsWhileAboutShown = -1;
        AnswerNextMessageBox(IDYES, [&] {
            test_helpers::RunLater(50, [&] {
                test_helpers::WhenWindowOpens(test_helpers::IsDialogBox, [&](HWND about) {
                    aboutCaption = test_helpers::TextOf(about);
                    rowsWhileAboutShown = dialog.messageList.GetItemCount();
                    test_helpers::ClickWindow(::GetDlgItem(about, IDOK));
                });
                ::SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, 16, 0);
            });
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        EXPECT_EQ(aboutCaption, "About Tolvan");
        EXPECT_EQ(rowsWhileAboutShown, 0);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
    });
    EXPECT_EQ(StickPrefix(1u << 20), storage.File(image)->bytes);
}

}  // namespace
