#include <gtest/gtest.h>

#include "platform/clock/wall_clock.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

// The hidden controls of the image-creating side, reached as their clicks reach the window.
class CopyCommand : public MainWindowTest {
  protected:
    static void Click(MainDialog& dialog, int id) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    // Selects the source entry of disk name; false when it is not listed.
    static bool SelectSource(MainDialog& dialog, const std::string& name) {
        for (int i = 0; i < dialog.sourceDriveCombo.GetCount(); ++i) {
            auto* entry =
                static_cast<PhysicalDriveEntry*>(dialog.sourceDriveCombo.GetItemDataPtr(i));
            if (entry != nullptr && entry->name == name) {
                dialog.sourceDriveCombo.SetCurSel(i);
                return true;
            }
        }
        return false;
    }
};

SYSTEMTIME SeventhOfMarch2009At140509() {
    SYSTEMTIME t{};
    t.wYear = 2009;
    t.wMonth = 3;
    t.wDay = 7;
    t.wDayOfWeek = 6;
    t.wHour = 14;
    t.wMinute = 5;
    t.wSecond = 9;
    return t;
}

TEST_F(CopyCommand, StartCopyTurnsBusyBeforeItLooksAtTheSelection) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.sourceDriveCombo.SetCurSel(-1);
        ASSERT_EQ(dialog.sourceDriveCombo.GetCurSel(), CB_ERR);
        const int busyPaints = test_helpers::PaintCount(&dialog.busyLamp);
        const int readyPaints = test_helpers::PaintCount(&dialog.readyLamp);
        Click(dialog, IDC_START_COPY);
        // Lit and put out again: two repaints of each lamp, and back to idle.
        EXPECT_EQ(test_helpers::PaintCount(&dialog.busyLamp), busyPaints + 2);
        EXPECT_EQ(test_helpers::PaintCount(&dialog.readyLamp), readyPaints + 2);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);
    });
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(CopyCommand, SaveDialogProposesTheTimeOfTheClickAndStartCopyCreatesTheImage) {
    platform::clock::FakeWallClock clock(SeventhOfMarch2009At140509());
    platform::clock::ScopedWallClock useClock(clock);
    storage.AddDisk(2, 64u << 10).bytes.assign(64u << 10, 0x5C);
    storage.AddVolume('G', 2, platform::storage::DRIVE_REMOVABLE, 64 * KB);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        auto seen = test_helpers::AnswerNextFileDialog("img07Mar2009_140509.img");
        Click(dialog, IDC_BROWSE_CREATE);
        ASSERT_TRUE(seen->shown);
        EXPECT_TRUE(seen->save);
        EXPECT_EQ(seen->proposedName, "img07Mar2009_140509.img");
        const std::string path = (folder / "img07Mar2009_140509.img").string();
        EXPECT_EQ(dialog.chosenCreatePath, path);
        std::string shown;
        dialog.GetDlgItem(IDC_CREATE_PATH)->GetWindowText(shown);
        EXPECT_EQ(shown, path);

        ASSERT_TRUE(SelectSource(dialog, "PHYSICALDRIVE2"));
        Click(dialog, IDC_START_COPY);
        ASSERT_NE(storage.File(path), nullptr);
        EXPECT_EQ(storage.File(path)->bytes, std::vector<uint8_t>(64u << 10, 0x5C));
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);

        // A cancelled Save dialog leaves no path to create.
        test_helpers::CancelNextFileDialog();
        Click(dialog, IDC_BROWSE_CREATE);
        EXPECT_EQ(dialog.chosenCreatePath, "");
    });
}

}  // namespace
