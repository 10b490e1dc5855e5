#include <gtest/gtest.h>

#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class DriveLists : public MainWindowTest {
  protected:
    static std::vector<std::string> Items(CComboBox& combo) {
        std::vector<std::string> items;
        for (int i = 0; i < combo.GetCount(); ++i) {
            std::string text;
            combo.GetLBText(i, text);
            items.push_back(text);
        }
        return items;
    }
};

TEST_F(DriveLists, OfferEveryDriveOfAtMostTwoGigabytesNumberedByAcceptedCount) {
    storage.AddVolume('G', 3, platform::storage::DRIVE_REMOVABLE, 2097152 * KB);
    storage.AddVolume('H', 4, platform::storage::DRIVE_REMOVABLE, 2097153 * KB);
    storage.AddVolume('I', 7, platform::storage::DRIVE_REMOVABLE, 64 * KB).sizeFails = true;

    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        const std::vector<std::string> expected = {
            "Disk 0 --> Logical disk(s):[ E:\\ F:\\  ]   Size: 800000 (KB)",
            "Disk 1 --> Logical disk(s):[ G:\\  ]   Size: 2097152 (KB)",
            // PHYSICALDRIVE7 lies above the count of drives and is offered all the same.
            "Disk 2 --> Logical disk(s):[ I:\\  ]   Size: 0 (KB)",
        };
        EXPECT_EQ(Items(dialog.targetDriveCombo), expected);
        EXPECT_EQ(Items(dialog.sourceDriveCombo), expected);
        EXPECT_EQ(dialog.targetDriveCombo.GetItemDataPtr(0),
                  dialog.FindPhysicalDrive("PHYSICALDRIVE1"));
        EXPECT_EQ(dialog.sourceDriveCombo.GetItemDataPtr(2),
                  dialog.FindPhysicalDrive("PHYSICALDRIVE7"));
        EXPECT_EQ(dialog.targetDriveCombo.GetCurSel(), CB_ERR);
        EXPECT_EQ(dialog.sourceDriveCombo.GetCurSel(), 0);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
    });
}

TEST_F(DriveLists, NoDriveLeavesBothListsEmptyAndTheWindowIdle) {
    platform::storage::simulated::SimulatedStorage empty;
    MainDialog dialog(empty);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_EQ(dialog.targetDriveCombo.GetCount(), 0);
        EXPECT_EQ(dialog.sourceDriveCombo.GetCount(), 0);
        EXPECT_EQ(dialog.sourceDriveCombo.GetCurSel(), CB_ERR);
        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
    });
}

}  // namespace
