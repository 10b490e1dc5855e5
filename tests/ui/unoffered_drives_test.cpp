#include <gtest/gtest.h>

#include "platform/window/qt/native_window.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/unoffered_drives_text.h"

namespace {

using platform::storage::DriveDescription;
using test_helpers::RunModal;

constexpr char kPolkitRefused[] = "polkit refused to let you open it through udisks2";

DriveDescription Disk(const std::string& name, const std::string& node, const std::string& vendor,
                      const std::string& model, const std::string& why = "") {
    DriveDescription disk;
    disk.name = name;
    disk.deviceNode = node;
    disk.vendor = vendor;
    disk.model = model;
    disk.whyNotOffered = why;
    return disk;
}

// Files a drive as the scan does: one volume of sizeKB.
void File(DriveMap& drives, const std::string& name, int32_t sizeKB) {
    auto entry = std::make_unique<PhysicalDriveEntry>();
    entry->name = name;
    entry->totalKB = sizeKB;
    entry->volumeList = "E:\\ ";
    drives[name] = std::move(entry);
}

TEST(UnofferedDrivesText, NamesEachLeftOutDiskByDeviceAndModelWithItsReason) {
    DriveMap drives;
    File(drives, "PHYSICALDRIVE0", 4193280);  // a 4 GB volume
    File(drives, "PHYSICALDRIVE1", 1000000);  // offered
    const std::vector<DriveDescription> disks = {
        Disk("PHYSICALDRIVE0", "/dev/sda", "ATA", "Samsung SSD 870"),
        Disk("PHYSICALDRIVE1", "/dev/sdb", "SanDisk", "Cruzer Blade"),
        Disk("PHYSICALDRIVE2", "/dev/loop3", "", "", "it has no mounted volume"),
        Disk("PHYSICALDRIVE3", "/dev/sdc", "", "SC32G", kPolkitRefused),
    };
    EXPECT_EQ(UnofferedDrivesText(disks, drives),
              "Disks not offered as targets:\n"
              "/dev/sda (ATA Samsung SSD 870): its volumes add up to 4193280 KB (4.3 GB), more "
              "than 2 GB\n"
              "/dev/loop3 (unknown model): it has no mounted volume\n"
              "/dev/sdc (SC32G): polkit refused to let you open it through udisks2");
}

TEST(UnofferedDrivesText, TwoGigabytesAreOfferedAndOneKilobyteMoreIsNot) {
    DriveMap drives;
    File(drives, "PHYSICALDRIVE0", 2097152);
    File(drives, "PHYSICALDRIVE1", 2097153);
    const std::vector<DriveDescription> disks = {Disk("PHYSICALDRIVE0", "/dev/sdb", "A", "B"),
                                                 Disk("PHYSICALDRIVE1", "/dev/sdc", "C", "D")};
    EXPECT_EQ(UnofferedDrivesText(disks, drives),
              "Disks not offered as targets:\n"
              "/dev/sdc (C D): its volumes add up to 2097153 KB (2.1 GB), more than 2 GB");
}

// A disk the scan could not file, whose volumes are over 2 GB anyway (the disk that holds "/"),
// is left out for its size, whatever kept it from being filed.
TEST(UnofferedDrivesText, VolumesOverTwoGigabytesComeBeforeWhyTheScanCouldNotFileTheDisk) {
    DriveDescription system = Disk("PHYSICALDRIVE0", "/dev/vda", "", "",
                                   "you may not open it yourself, and udisks2 or polkit is not "
                                   "running");
    system.volumes.resize(1);
    system.volumes[0].sizeBytes = uint64_t{256} << 30;
    DriveDescription stick = Disk("PHYSICALDRIVE1", "/dev/sdb", "", "", kPolkitRefused);
    stick.volumes.resize(2);
    stick.volumes[0].sizeBytes = uint64_t{1} << 30;
    stick.volumes[1].sizeBytes = uint64_t{1} << 30;  // exactly 2 GB: the scan's reason stands

    EXPECT_EQ(UnofferedDrivesText({system, stick}, DriveMap()),
              "Disks not offered as targets:\n"
              "/dev/vda (unknown model): its volumes add up to 268435456 KB (274.9 GB), more "
              "than 2 GB\n"
              "/dev/sdb (unknown model): polkit refused to let you open it through udisks2");
}

TEST(UnofferedDrivesText, NoDiskOrEveryDiskOffered) {
    EXPECT_EQ(UnofferedDrivesText({}, DriveMap()), "No disk was found.");
    DriveMap drives;
    File(drives, "PHYSICALDRIVE1", 1000);
    EXPECT_EQ(UnofferedDrivesText({Disk("PHYSICALDRIVE1", "/dev/sdb", "", "")}, drives), "");
    // Filed drives the storage cannot describe are no missing disk.
    EXPECT_EQ(UnofferedDrivesText({}, drives), "");
    // A disk whose volume was mounted after the scan is said to be missing from it.
    EXPECT_EQ(UnofferedDrivesText({Disk("PHYSICALDRIVE2", "", "", "")}, drives),
              "Disks not offered as targets:\n"
              "unknown device (unknown model): no volume of it was found when the drives were "
              "scanned");
}

// The main window over simulated storage: the system disk (C, 80 GB, PHYSICALDRIVE0) and the
// stick (E and F, PHYSICALDRIVE1) of the fixture, described, plus a card reader whose card
// carries no mounted volume (PHYSICALDRIVE2).
class UnofferedDrivesInWindow : public MainWindowTest {
  protected:
    static constexpr char kSystemLine[] =
        "/dev/sda (ATA Samsung SSD 870): its volumes add up to 80000000 KB (81.9 GB), more "
        "than 2 GB";
    static constexpr char kCardLine[] = "/dev/sdc (Generic Card Reader): it has no mounted volume";

    void SetUp() override {
        MainWindowTest::SetUp();
        storage.SetDescription(0, Disk("", "/dev/sda", "ATA", "Samsung SSD 870"));
        storage.SetDescription(1, Disk("", "/dev/sdb", "SanDisk", "Cruzer Blade"));
        storage.SetDescription(2, Disk("", "/dev/sdc", "Generic", "Card Reader"));
        storage.SetWhyNotOffered(2, "it has no mounted volume");
    }

    static std::string ClosedTip(MainDialog& dialog) {
        return platform::window::WidgetOf(dialog.targetDriveCombo.m_hWnd)->toolTip().toStdString();
    }
};

TEST_F(UnofferedDrivesInWindow, TheClosedListShowsTheChosenDriveAndThenTheDisksLeftOut) {
    const std::string unoffered =
        std::string("Disks not offered as targets:\n") + kSystemLine + "\n" + kCardLine;
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        CComboBox& target = dialog.targetDriveCombo;
        ASSERT_EQ(target.GetCount(), 1);
        EXPECT_EQ(ClosedTip(dialog), unoffered);  // nothing chosen yet
        target.SetCurSel(0);
        EXPECT_EQ(ClosedTip(dialog), target.GetItemTip(0) + "\n\n" + unoffered);
        // The item's own tooltip, shown in the open list, is the drive's alone.
        EXPECT_EQ(target.GetItemTip(0).find("not offered"), std::string::npos);
        target.SetCurSel(-1);
        EXPECT_EQ(ClosedTip(dialog), unoffered);
    });
}

TEST_F(UnofferedDrivesInWindow, AnEmptyListTellsWhyEachDiskIsLeftOut) {
    platform::storage::simulated::SimulatedStorage others;
    others.AddDisk(0, 1u << 20);
    others.AddVolume('C', 0, platform::storage::DRIVE_FIXED, 4193280 * KB);
    others.SetDescription(0, Disk("", "/dev/sda", "ATA", "Samsung SSD 870"));
    others.SetDescription(2, Disk("", "/dev/sdc", "Generic", "Card Reader"));
    others.SetWhyNotOffered(2, "it has no mounted volume");
    others.SetDescription(3, Disk("", "/dev/sdd", "Kingston", "DataTraveler"));
    others.SetWhyNotOffered(3, kPolkitRefused);
    MainDialog dialog(others);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_EQ(dialog.targetDriveCombo.GetCount(), 0);
        EXPECT_EQ(ClosedTip(dialog),
                  std::string("Disks not offered as targets:\n"
                              "/dev/sda (ATA Samsung SSD 870): its volumes add up to 4193280 KB "
                              "(4.3 GB), more than 2 GB\n") +
                      kCardLine + "\n/dev/sdd (Kingston DataTraveler): " + kPolkitRefused);
    });
}

TEST_F(UnofferedDrivesInWindow, AnEmptyListWithoutAnyDiskSaysSo) {
    platform::storage::simulated::SimulatedStorage empty;
    MainDialog dialog(empty);
    RunModal(dialog, [&](CDialog&) { EXPECT_EQ(ClosedTip(dialog), "No disk was found."); });
}

}  // namespace
