#include <io.h>
#include <windows.h>

#include <algorithm>

#include "platform/storage/compressed/positional_read.h"

namespace platform::storage {

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // The offset travels in the OVERLAPPED block; on a handle opened without
    // FILE_FLAG_OVERLAPPED the call still completes before it returns.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!::ReadFile(file, buffer, wanted, &read, &at)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return read;
}

int64_t FileLength(int fd) {
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    LARGE_INTEGER length{};
    if (file == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file, &length)) {
        return -1;
    }
    return length.QuadPart;
}

}  // namespace platform::storage
