// A restore through the window onto a real loop device, as the operator does it (root only).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/compressed_images.h"
#include "tests/helpers/loop_device.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class LoopRestore : public MainWindowTest {};

TEST_F(LoopRestore, ImageChosenWithTheDialogReachesTheDevice) {
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    platform::storage::LinuxStorage linuxStorage;
    const std::string image = MakeImage("stick.img", (1u << 20) + 1000);
    const std::vector<uint8_t> expected = storage.File(image)->bytes;

    MainDialog dialog(linuxStorage);
    RunModal(dialog, [&](CDialog&) {
        const std::string drive = linuxStorage.PhysicalDriveNameOf(loop.device());
        const int index = TargetIndexOf(dialog, drive);
        ASSERT_GE(index, 0) << loop.device() << " is not offered";
        ChooseImage(dialog, image);
        dialog.targetDriveCombo.SetCurSel(index);
        AnswerBox(true, [] {});
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
    });
    EXPECT_EQ(ReadFirstBytes(loop.device(), expected.size()), expected);
}

TEST_F(LoopRestore, AnXzImageChosenWithTheDialogReachesTheDeviceDecompressed) {
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    platform::storage::LinuxStorage linuxStorage;
    const std::string plain = MakeImage("stick.img", (1u << 20) + 1000);
    const std::vector<uint8_t> expected = storage.File(plain)->bytes;
    std::string failure;
    const std::string packed =
        testing_support::Compress(plain, testing_support::Compressor::kXz, &failure);
    ASSERT_FALSE(packed.empty()) << failure;
    std::filesystem::remove(plain);  // only the compressed image is there to choose

    MainDialog dialog(linuxStorage);
    QStringList offered;
    RunModal(dialog, [&](CDialog&) {
        const int index = TargetIndexOf(dialog, linuxStorage.PhysicalDriveNameOf(loop.device()));
        ASSERT_GE(index, 0) << loop.device() << " is not offered";
        // As ChooseImage does, noting what the dialog offered first.
        WhenFileDialogOpens([&](QFileDialog* fileDialog) {
            offered = fileDialog->nameFilters();
            auto* edit = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(QFileInfo(QString::fromStdString(packed)).fileName());
            static_cast<QDialog*>(fileDialog)->accept();
        });
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
        EXPECT_EQ(dialog.restoreImagePath, packed);
        dialog.targetDriveCombo.SetCurSel(index);
        AnswerBox(true, [] {});
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
    });
    EXPECT_EQ(offered, QStringList{"*.img *.img.xz *.img.gz *.img.bz2 *.img.zst *.zip"});
    EXPECT_EQ(ReadFirstBytes(loop.device(), expected.size()), expected);
}

}  // namespace
