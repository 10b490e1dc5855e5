#include "platform/storage/windows/win32_calls.h"

namespace platform::storage {

DWORD Kernel32Calls::GetLogicalDrives() {
    return ::GetLogicalDrives();
}

UINT Kernel32Calls::GetDriveTypeA(const char* rootPath) {
    return ::GetDriveTypeA(rootPath);
}

BOOL Kernel32Calls::GetDiskFreeSpaceExA(const char* rootPath, ULARGE_INTEGER* freeToCaller,
                                        ULARGE_INTEGER* total, ULARGE_INTEGER* totalFree) {
    return ::GetDiskFreeSpaceExA(rootPath, freeToCaller, total, totalFree);
}

BOOL Kernel32Calls::GetVolumeInformationA(const char* rootPath, char* label, DWORD labelSize,
                                          char* fileSystem, DWORD fileSystemSize) {
    return ::GetVolumeInformationA(rootPath, label, labelSize, nullptr, nullptr, nullptr,
                                   fileSystem, fileSystemSize);
}

DWORD Kernel32Calls::GetFullPathNameA(const char* path, DWORD size, char* buffer) {
    return ::GetFullPathNameA(path, size, buffer, nullptr);
}

HANDLE Kernel32Calls::CreateFileA(const char* path, DWORD access, DWORD shareMode,
                                  DWORD disposition, DWORD flags) {
    return ::CreateFileA(path, access, shareMode, nullptr, disposition, flags, nullptr);
}

BOOL Kernel32Calls::DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                                    DWORD outSize, DWORD* returned) {
    return ::DeviceIoControl(device, code, in, inSize, out, outSize, returned, nullptr);
}

BOOL Kernel32Calls::ReadFile(HANDLE file, void* buffer, DWORD size, OVERLAPPED* overlapped) {
    return ::ReadFile(file, buffer, size, nullptr, overlapped);
}

BOOL Kernel32Calls::WriteFile(HANDLE file, const void* buffer, DWORD size, OVERLAPPED* overlapped) {
    return ::WriteFile(file, buffer, size, nullptr, overlapped);
}

BOOL Kernel32Calls::GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                                        BOOL wait) {
    return ::GetOverlappedResult(file, overlapped, transferred, wait);
}

BOOL Kernel32Calls::CancelIo(HANDLE file) {
    return ::CancelIo(file);
}

HANDLE Kernel32Calls::CreateEventA(BOOL manualReset, BOOL initialState) {
    return ::CreateEventA(nullptr, manualReset, initialState, nullptr);
}

DWORD Kernel32Calls::WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return ::WaitForSingleObject(object, milliseconds);
}

BOOL Kernel32Calls::FlushFileBuffers(HANDLE file) {
    return ::FlushFileBuffers(file);
}

BOOL Kernel32Calls::CloseHandle(HANDLE object) {
    return ::CloseHandle(object);
}

DWORD Kernel32Calls::GetLastError() {
    return ::GetLastError();
}

DWORD Kernel32Calls::GetStorageDependencyInformation(HANDLE object, DWORD flags, ULONG size,
                                                     void* info, ULONG* used) {
    // Looked up when first needed, from the system's own folder only: the program starts also
    // where virtdisk.dll is missing.
    using Call = DWORD(WINAPI*)(HANDLE, DWORD, ULONG, void*, ULONG*);
    static const Call call = [] {
        HMODULE module = ::LoadLibraryExA("virtdisk.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return module == nullptr
                   ? nullptr
                   : reinterpret_cast<Call>(reinterpret_cast<void (*)()>(
                         ::GetProcAddress(module, "GetStorageDependencyInformation")));
    }();
    return call == nullptr ? ERROR_CALL_NOT_IMPLEMENTED : call(object, flags, size, info, used);
}

}  // namespace platform::storage
