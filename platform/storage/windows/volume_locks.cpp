#include "platform/storage/windows/volume_locks.h"

#include "platform/storage/drive_names.h"
#include "platform/storage/windows/win32_error.h"

namespace platform::storage {

namespace {

bool Control(Win32Calls& calls, const Win32Handle& volume, DWORD code) {
    DWORD returned = 0;
    return calls.DeviceIoControl(volume.get(), code, nullptr, 0, nullptr, 0, &returned) != FALSE;
}

}  // namespace

std::optional<VolumeLocks> VolumeLocks::Take(Win32Calls& calls, const std::vector<char>& letters,
                                             std::string* cause) {
    VolumeLocks locks(calls);
    for (char letter : letters) {
        Win32Handle volume(
            calls, calls.CreateFileA(VolumePath(letter).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0));
        if (!volume.valid()) {
            *cause = "The volume " + RootPath(letter) +
                     " of the drive could not be opened to lock it (" +
                     Win32ErrorText(calls.GetLastError()) + "). Nothing was written.";
            return std::nullopt;  // the destructor unlocks what was locked
        }
        if (!Control(calls, volume, FSCTL_LOCK_VOLUME)) {
            *cause = "The volume " + RootPath(letter) +
                     " of the drive is in use: a program has a file or folder on it open (" +
                     Win32ErrorText(calls.GetLastError()) +
                     "). Close it and try again. Nothing was written.";
            return std::nullopt;
        }
        locks.locked_.push_back(std::move(volume));
    }
    // Only once every volume is locked is any of them dismounted.
    for (size_t i = 0; i < letters.size(); ++i) {
        if (!Control(calls, locks.locked_[i], FSCTL_DISMOUNT_VOLUME)) {
            *cause = "The volume " + RootPath(letters[i]) +
                     " of the drive could not be dismounted (" +
                     Win32ErrorText(calls.GetLastError()) + "). Nothing was written.";
            return std::nullopt;
        }
    }
    return locks;
}

VolumeLocks::~VolumeLocks() {
    Unlock();
}

void VolumeLocks::Unlock() {
    for (Win32Handle& volume : locked_) {
        if (volume.valid()) {
            Control(*calls_, volume, FSCTL_UNLOCK_VOLUME);
            volume.Close();
        }
    }
    locked_.clear();
}

}  // namespace platform::storage
