#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/storage/simulated/simulated_storage.h"
#include "platform/window/win_app.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/helpers/win32/system_boxes.h"
#include "tests/helpers/win32/thread_windows.h"
#include "tests/helpers/win32/user_input.h"
#include "tests/helpers/window_test.h"
#include "ui/main_dialog.h"

// The main window on Windows over simulated storage: a system disk (C, 80 GB) and a stick with
// volumes E and F (500000 + 300000 KB) on PHYSICALDRIVE1, whose first 2 MiB all start as 0xAA.
// Image files exist both in a folder of the test's own (for the file dialogs) and in the
// simulated storage (for the engine), under the path the Open dialog gives back.
class MainWindowTest : public test_helpers::WindowTest {
  protected:
    static constexpr uint64_t KB = 1024;

    void SetUp() override {
        using namespace platform::storage;
        WindowTest::SetUp();
        RegisterProgramResources();
        // The application's dialog colours, as the program sets them when it starts.
        AfxGetApp()->SetDialogBkColor(RGB(218, 215, 180), RGB(0, 0, 0));
        static int testNumber = 0;
        folder = std::filesystem::temp_directory_path() /
                 ("sectorsmith-ui-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(++testNumber));
        std::filesystem::create_directories(folder);
        storage.AddDisk(0, 1u << 20);
        storage.AddVolume('C', 0, DRIVE_FIXED, 80000000 * KB);
        stick = &storage.AddDisk(1, 2u << 20);
        stick->bytes.assign(2u << 20, 0xAA);
        storage.AddVolume('E', 1, DRIVE_REMOVABLE, 500000 * KB);
        storage.AddVolume('F', 1, DRIVE_REMOVABLE, 300000 * KB);
    }

    void TearDown() override {
        std::error_code ignored;
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

    static std::string Row(MainDialog& dialog, int row) {
        return dialog.messageList.GetItemText(row, 0);
    }

    static bool Enabled(MainDialog& dialog, int id) {
        return ::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, id)) != FALSE;
    }

    // Chooses path with the "..." button's Open dialog, as the operator does.
    static void ChooseImage(MainDialog& dialog, const std::string& path) {
        test_helpers::AnswerNextFileDialog(path);
        test_helpers::ClickControl(&dialog, IDC_BROWSE_RESTORE);
    }

    // Picks entry index of the target list: opens the list with a click on its arrow and clicks
    // the entry.
    static void PickTarget(MainDialog& dialog, int index) {
        HWND combo = ::GetDlgItem(dialog.m_hWnd, IDC_TARGET_DRIVE);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
        POINT arrow{(info.rcButton.left + info.rcButton.right) / 2,
                    (info.rcButton.top + info.rcButton.bottom) / 2};
        ::ClientToScreen(combo, &arrow);
        test_helpers::ClickAt(arrow);
        ASSERT_TRUE(::IsWindowVisible(info.hwndList)) << "the list did not open";
        RECT item{};
        ASSERT_NE(::SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(&item)),
                  LB_ERR);
        POINT middle{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ::ClientToScreen(info.hwndList, &middle);
        test_helpers::ClickAt(middle);
    }

    // Chooses the image, picks the first target, clicks Start Restore and answers Yes;
    // duringRestore runs once the answer is given. Returns when the restore has ended, noting
    // the time in ended.
    void Restore(MainDialog& dialog, const std::string& image,
                 std::function<void()> duringRestore) {
        ChooseImage(dialog, image);
        PickTarget(dialog, 0);
        test_helpers::AnswerNextMessageBox(IDYES, duringRestore);
        test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
        ended = std::chrono::steady_clock::now();
    }

    platform::storage::simulated::SimulatedStorage storage;
    platform::storage::simulated::SimulatedDisk* stick = nullptr;
    std::filesystem::path folder;
    std::chrono::steady_clock::time_point ended;
};
