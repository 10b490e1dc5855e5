#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/storage/simulated/simulated_storage.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/window_probe.h"
#include "ui/main_dialog.h"

// The main window over simulated storage: a system disk (C, 80 GB) and a stick with volumes E
// and F (500000 + 300000 KB) on PHYSICALDRIVE1, whose first 2 MiB all start as 0xAA. Image files
// exist both on disk (for the file dialogs) and in the simulated storage (for the engine).
class MainWindowTest : public test_helpers::WindowTest {
  protected:
    static constexpr uint64_t KB = 1024;

    void SetUp() override {
        WindowTest::SetUp();
        RegisterProgramResources();
        static int testNumber = 0;
        folder =
            std::filesystem::temp_directory_path() /
            ("sectorsmith-ui-" + std::to_string(::getpid()) + "-" + std::to_string(++testNumber));
        std::filesystem::create_directories(folder);
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        storage.AddDisk(0, 1u << 20);
        storage.AddVolume('C', 0, platform::storage::DRIVE_FIXED, 80000000 * KB).pathPrefix = "/";
        stick = &storage.AddDisk(1, 2u << 20);
        stick->bytes.assign(2u << 20, 0xAA);
        storage.AddVolume('E', 1, platform::storage::DRIVE_REMOVABLE, 500000 * KB);
        storage.AddVolume('F', 1, platform::storage::DRIVE_REMOVABLE, 300000 * KB);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::current_path(previousFolder, ignored);
        std::filesystem::remove_all(folder, ignored);
        WindowTest::TearDown();
    }

    // An image file of size bytes with a recognisable pattern, on disk and in the storage.
    std::string MakeImage(const std::string& name, size_t size) {
        const std::string path = (folder / name).string();
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<uint8_t>((i * 7 + 3) % 251);
        }
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        storage.AddFile(path, bytes);
        return path;
    }

    std::vector<uint8_t> StickPrefix(size_t n) const {
        return {stick->bytes.begin(), stick->bytes.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    // The first n bytes of a device (or file), as far as it has them.
    static std::vector<uint8_t> ReadFirstBytes(const std::string& device, size_t n) {
        std::ifstream in(device, std::ios::binary);
        std::vector<uint8_t> bytes(n);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
        bytes.resize(static_cast<size_t>(in.gcount()));
        return bytes;
    }

    // The index of the physical drive name in the target list; -1 when it is not offered.
    static int TargetIndexOf(MainDialog& dialog, const std::string& driveName) {
        for (int i = 0; i < dialog.targetDriveCombo.GetCount(); ++i) {
            auto* entry =
                static_cast<PhysicalDriveEntry*>(dialog.targetDriveCombo.GetItemDataPtr(i));
            if (entry->name == driveName) {
                return i;
            }
        }
        return -1;
    }

    static std::string Row(MainDialog& dialog, int row) {
        return dialog.messageList.GetItemText(row, 0);
    }

    static bool Enabled(MainDialog& dialog, int id) {
        return dialog.GetDlgItem(id)->IsWindowEnabled() != FALSE;
    }

    // Chooses path with the "..." button's Open dialog, as the operator does.
    static void ChooseImage(MainDialog& dialog, const std::string& path) {
        WhenFileDialogOpens([path](QFileDialog* fileDialog) {
            // The dialog opens in the working folder, the test's own: the operator types the name.
            auto* edit = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(QFileInfo(QString::fromStdString(path)).fileName());
            static_cast<QDialog*>(fileDialog)->accept();
        });
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
    }

    static void CancelImageChoice(MainDialog& dialog) {
        WhenFileDialogOpens([](QFileDialog* fileDialog) { fileDialog->reject(); });
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
    }

    // Runs action once a file dialog is the active modal window (polled by the event loop).
    static void WhenFileDialogOpens(std::function<void(QFileDialog*)> action) {
        auto* timer = new QTimer;
        auto tries = std::make_shared<int>(500);
        QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
            auto* fileDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (fileDialog != nullptr && fileDialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(fileDialog);
            } else if (--*tries <= 0) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no file dialog opened";
            }
        });
        timer->start(10);
    }

    // Answers the next message box with Yes or No; whileOpen runs first, while the box shows.
    static std::shared_ptr<test_helpers::MessageBoxSeen> AnswerBox(
        bool yes, std::function<void()> whileOpen) {
        auto seen = std::make_shared<test_helpers::MessageBoxSeen>();
        test_helpers::WhenNextModalOpens([seen, yes, whileOpen](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            whileOpen();
            seen->shown = true;
            seen->text = box->text().toStdString();
            seen->title = box->windowTitle().toStdString();
            seen->icon = box->icon();
            if (box->defaultButton() != nullptr) {
                seen->defaultButton = box->defaultButton()->text().toStdString();
            }
            QTest::mouseClick(box->button(yes ? QMessageBox::Yes : QMessageBox::No),
                              Qt::LeftButton);
        });
        return seen;
    }

    platform::storage::simulated::SimulatedStorage storage;
    platform::storage::simulated::SimulatedDisk* stick = nullptr;
    std::filesystem::path folder;
    std::filesystem::path previousFolder;
};
