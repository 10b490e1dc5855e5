#pragma once

#include <cstdint>

#include "system_defs/windows_h.h"

namespace platform::storage {

// Every kernel32 call the Windows storage backend makes, behind one narrow interface: the real
// forwarder (Kernel32Calls) in the program, and in tests a wrapper that answers what Wine cannot
// (volume extents, storage properties, disk lengths) and injects faults. Each call has the
// system's own contract; failures leave their code for GetLastError.
class Win32Calls {
  public:
    virtual ~Win32Calls() = default;

    virtual DWORD GetLogicalDrives() = 0;
    virtual UINT GetDriveTypeA(const char* rootPath) = 0;
    virtual BOOL GetDiskFreeSpaceExA(const char* rootPath, ULARGE_INTEGER* freeToCaller,
                                     ULARGE_INTEGER* total, ULARGE_INTEGER* totalFree) = 0;
    virtual DWORD GetFullPathNameA(const char* path, DWORD size, char* buffer) = 0;
    // The label and file system name of the volume at rootPath ("E:\\").
    virtual BOOL GetVolumeInformationA(const char* rootPath, char* label, DWORD labelSize,
                                       char* fileSystem, DWORD fileSystemSize) = 0;
    virtual HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD disposition,
                               DWORD flags) = 0;
    virtual BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                                 DWORD outSize, DWORD* returned) = 0;
    virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, OVERLAPPED* overlapped) = 0;
    virtual BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, OVERLAPPED* overlapped) = 0;
    virtual BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                                     BOOL wait) = 0;
    virtual BOOL CancelIo(HANDLE file) = 0;
    virtual HANDLE CreateEventA(BOOL manualReset, BOOL initialState) = 0;
    virtual DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) = 0;
    virtual BOOL FlushFileBuffers(HANDLE file) = 0;
    // virtdisk.dll's: the virtual disks beneath a volume (STORAGE_DEPENDENCY_INFO in info);
    // returns an error code, ERROR_CALL_NOT_IMPLEMENTED where the system has no such call.
    virtual DWORD GetStorageDependencyInformation(HANDLE object, DWORD flags, ULONG size,
                                                  void* info, ULONG* used) = 0;
    virtual BOOL CloseHandle(HANDLE object) = 0;
    virtual DWORD GetLastError() = 0;
};

// The system's own kernel32.
class Kernel32Calls final : public Win32Calls {
  public:
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
};

}  // namespace platform::storage
