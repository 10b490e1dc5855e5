#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/storage/storage_types.h"
#include "platform/storage/windows/win32_calls.h"

namespace storage_test {

using platform::storage::DiskExtent;

// A disk the seam makes up: its bytes live in a plain file.
struct SeamDisk {
    std::string file;  // a Windows path
    uint64_t length = 0;
    uint32_t busType = BusTypeUsb;
    bool removable = true;
    std::string vendor = "Acme";
    std::string product = "Stick";
    std::string serial = "0001";
    bool writeProtected = false;
    std::optional<uint32_t> reportedNumber;  // what the disk says its number is; the asked one
};

// A lettered volume the seam makes up.
struct SeamVolume {
    std::vector<DiskExtent> extents;
    UINT driveType = DRIVE_REMOVABLE;
    uint64_t totalBytes = 0;
    std::string file;  // what "\\.\E:" opens (a Windows path); a file of its own when empty
    bool refusesLock = false;
    std::string label;
    std::string fileSystem;  // "FAT32"; none: the volume's file system is not recognised
    // A volume of a virtual disk: the host volumes of its files, as the system names them
    // ("E:\" or "\\?\Volume{E}\", which the seam opens as volume E).
    std::vector<std::string> virtualDiskHosts;
};

// The kernel32 seam as tests see it: drives and volumes made up over plain files, opened,
// read, written and flushed through the system (Wine) for real; the controls Wine lacks
// (extents, storage property, length, device number, write protection) and the volume locks
// answered here; every lock, dismount, unlock and partition re-read recorded; faults injected
// on demand. FSCTL_DISMOUNT_VOLUME never reaches the system.
class SeamCalls : public platform::storage::Win32Calls {
  public:
    // folder: a Windows path where made-up volumes get files of their own.
    explicit SeamCalls(std::string folder) : folder_(std::move(folder)) {}

    std::map<char, SeamVolume> volumes;
    std::map<uint32_t, SeamDisk> disks;
    // Faults: the write transfer with this index (0 first) fails with failWriteError, or moves
    // only half its bytes.
    std::optional<int> failWrite;
    DWORD failWriteError = ERROR_CRC;
    std::optional<int> shortWrite;

    // What happened: "lock E", "dismount E", "unlock E", "update 1", "write 1@0+512", "open
    // \\.\PHYSICALDRIVE1 rw".
    std::vector<std::string> events;
    int writes = 0;
    int waits = 0;
    std::set<char> locked;  // volumes locked now
    int openHandles() const { return static_cast<int>(opened_.size()); }

    DWORD GetLogicalDrives() override;
    UINT GetDriveTypeA(const char* rootPath) override;
    BOOL GetDiskFreeSpaceExA(const char* rootPath, ULARGE_INTEGER* freeToCaller,
                             ULARGE_INTEGER* total, ULARGE_INTEGER* totalFree) override;
    DWORD GetFullPathNameA(const char* path, DWORD size, char* buffer) override;
    BOOL GetVolumeInformationA(const char* rootPath, char* label, DWORD labelSize, char* fileSystem,
                               DWORD fileSystemSize) override;
    HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD disposition,
                       DWORD flags) override;
    BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned) override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, OVERLAPPED* overlapped) override;
    BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, OVERLAPPED* overlapped) override;
    BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                             BOOL wait) override;
    BOOL CancelIo(HANDLE file) override;
    HANDLE CreateEventA(BOOL manualReset, BOOL initialState) override;
    DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) override;
    BOOL FlushFileBuffers(HANDLE file) override;
    DWORD GetStorageDependencyInformation(HANDLE object, DWORD flags, ULONG size, void* info,
                                          ULONG* used) override;
    BOOL CloseHandle(HANDLE object) override;
    DWORD GetLastError() override;

  private:
    // What a handle the seam opened stands for.
    struct Target {
        char letter = 0;  // a volume
        std::optional<uint32_t> disk;
    };
    BOOL Fail(DWORD error);
    void Win32Close(HANDLE handle);
    BOOL AnswerDescriptor(const SeamDisk& disk, void* out, DWORD outSize, DWORD* returned);
    const SeamDisk* DiskOf(const Target& target) const;

    std::string folder_;
    platform::storage::Kernel32Calls real_;
    std::map<HANDLE, Target> opened_;
};

}  // namespace storage_test
