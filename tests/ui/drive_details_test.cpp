#include <gtest/gtest.h>

#include <QTextEdit>

#include "platform/storage/linux/drive_describer.h"
#include "platform/window/qt/native_window.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/drive_details_text.h"

namespace {

using platform::storage::DriveDescription;
using test_helpers::RunModal;

// An inventory record with the given letters, as the scan files it.
PhysicalDriveEntry Entry(const std::string& name, const std::vector<std::string>& letters) {
    PhysicalDriveEntry entry;
    entry.name = name;
    for (const std::string& letter : letters) {
        entry.volumes[letter] = std::make_unique<LogicalDriveEntry>();
        entry.volumeList += letter + ":\\ ";
    }
    return entry;
}

// The recorded desktop's disk diskName, described from its sysfs, a mount table and udev records.
DriveDescription Recorded(const std::string& diskName, const std::string& mountInfo,
                          const std::string& udevRoot) {
    using namespace platform::storage;
    const SysfsBlockTree tree = SysfsBlockTree::Load(SAMPLES_DIR "/sys_desktop");
    const MountTable mounts = MountTable::Load(mountInfo).value_or(MountTable());
    const BlockDeviceInfo* disk = tree.FindByName(diskName);
    EXPECT_NE(disk, nullptr);
    return disk ? DriveDescriber(SAMPLES_DIR "/sys_desktop", udevRoot)
                      .Describe(*disk, tree, mounts, VolumeMap::Build(mounts, tree))
                : DriveDescription();
}

TEST(DriveDetailsText, DriveWithTwoVolumes) {
    const DriveDescription sda =
        Recorded("sda", SAMPLES_DIR "/mountinfo_desktop.txt", SAMPLES_DIR "/udev_desktop");
    EXPECT_EQ(DriveDetailsText(Entry("PHYSICALDRIVE1", {"C", "E"}), sda),
              "Device: /dev/sda\n"
              "Model: ATA Samsung SSD 870\n"
              "Transport: SATA\n"
              "Capacity: 512.1 GB (512110190592 bytes)\n"
              "C:\\ on /: ext4, label \"root\"\n"
              "E:\\ on /boot/efi: vfat, label \"ESP\"");
}

TEST(DriveDetailsText, VolumeOfUnknownType) {
    // Mounted through FUSE, and no udev record that tells the type.
    const DriveDescription stick =
        Recorded("sdb", SAMPLES_DIR "/mountinfo_fuse_stick.txt", SAMPLES_DIR "/no_udev");
    EXPECT_EQ(DriveDetailsText(Entry("PHYSICALDRIVE2", {"D"}), stick),
              "Device: /dev/sdb\n"
              "Model: SanDisk Cruzer Blade\n"
              "Transport: USB\n"
              "Capacity: 2.0 GB (2002780160 bytes)\n"
              "D:\\ on /media/user/USB DISK: unknown file system, no label");
}

TEST(DriveDetailsText, AVolumeKnownByItsRootIsNamedOnce) {
    DriveDescription stick;
    stick.deviceNode = "\\\\.\\PHYSICALDRIVE1";
    stick.capacityBytes = 512;
    stick.volumes = {{"E", "E:\\", "FAT32", "HOLIDAYS"}};
    EXPECT_EQ(DriveDetailsText(Entry("PHYSICALDRIVE1", {"E"}), stick),
              "Device: \\\\.\\PHYSICALDRIVE1\nModel: unknown\nTransport: unknown\n"
              "Capacity: 512 bytes\nE:\\: FAT32, label \"HOLIDAYS\"");
}

TEST(DriveDetailsText, MissingFactsAreSaidToBeUnknown) {
    DriveDescription bare;
    bare.capacityBytes = 512;
    EXPECT_EQ(DriveDetailsText(Entry("PHYSICALDRIVE3", {"G"}), bare),
              "Device: unknown\nModel: unknown\nTransport: unknown\nCapacity: 512 bytes\n"
              "G:\\ is no longer mounted");
    EXPECT_EQ(DriveDetailsText(Entry("PHYSICALDRIVE3", {"G"}), std::nullopt),
              "No details are known of this drive.");
}

TEST(DriveDetailsText, CapacityRoundsToTenthsAndMovesUpAUnit) {
    EXPECT_EQ(CapacityText(999), "999 bytes");
    EXPECT_EQ(CapacityText(1000), "1.0 kB (1000 bytes)");
    EXPECT_EQ(CapacityText(1949999), "1.9 MB (1949999 bytes)");
    EXPECT_EQ(CapacityText(1950000), "2.0 MB (1950000 bytes)");
    EXPECT_EQ(CapacityText(999960000000), "1.0 TB (999960000000 bytes)");
}

// The main window over simulated storage that describes the stick (PHYSICALDRIVE1).
class DriveDetailsInWindow : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        DriveDescription stick;
        stick.deviceNode = "/dev/sdb";
        stick.vendor = "SanDisk";
        stick.model = "Cruzer Blade";
        stick.transport = "USB";
        stick.capacityBytes = 2002780160;
        stick.volumes = {{"E", "/media/user/STICK", "vfat", "STICK"},
                         {"F", "/media/user/data", "ext4", ""}};
        storage.SetDescription(1, stick);
        storage.AddVolume('G', 3, platform::storage::DRIVE_REMOVABLE, 1000 * KB);
    }

    static constexpr char kStickDetails[] =
        "Device: /dev/sdb\nModel: SanDisk Cruzer Blade\nTransport: USB\n"
        "Capacity: 2.0 GB (2002780160 bytes)\n"
        "E:\\ on /media/user/STICK: vfat, label \"STICK\"\n"
        "F:\\ on /media/user/data: ext4, no label";
};

TEST_F(DriveDetailsInWindow, TargetItemsAndTheSelectedTargetShowTheirDetails) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        CComboBox& target = dialog.targetDriveCombo;
        ASSERT_EQ(target.GetCount(), 2);
        EXPECT_EQ(target.GetItemTip(0), kStickDetails);
        EXPECT_EQ(target.GetItemTip(1), "No details are known of this drive.");
        std::string text;
        target.GetLBText(0, text);
        EXPECT_EQ(text, "Disk 0 --> Logical disk(s):[ E:\\ F:\\  ]   Size: 800000 (KB)");

        QWidget* box = platform::window::WidgetOf(target.m_hWnd);
        EXPECT_EQ(box->toolTip(), "");  // nothing selected yet
        target.SetCurSel(0);
        EXPECT_EQ(box->toolTip().toStdString(), kStickDetails);
        target.SetCurSel(1);
        EXPECT_EQ(box->toolTip().toStdString(), "No details are known of this drive.");
        target.SetCurSel(-1);
        EXPECT_EQ(box->toolTip(), "");
    });
}

TEST_F(DriveDetailsInWindow, ConfirmationKeepsItsTextAndButtonsAndShowsTheDetails) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.targetDriveCombo.SetCurSel(0);
        bool shown = false;
        test_helpers::WhenNextModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            shown = true;
            EXPECT_EQ(box->text().toStdString(),
                      "All of the data on logical disk(s) E:\\ F:\\  will be erased\n"
                      "       Are you sure???");
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            EXPECT_EQ(box->detailedText().toStdString(), kStickDetails);
            // The details are open when the box appears, not behind a click.
            auto* details = box->findChild<QTextEdit*>();
            ASSERT_NE(details, nullptr);
            EXPECT_TRUE(details->isVisible());
            QTest::keyClick(box, Qt::Key_Return);
        });
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        EXPECT_TRUE(shown);
    });
    EXPECT_EQ(stick->opens, 0);  // Enter answered No, the default
}

}  // namespace
