#include "platform/storage/windows/image_file.h"

#include <fcntl.h>
#include <io.h>

#include <cstring>

#include "platform/storage/buffered_file_stream.h"
#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/win32_error.h"
#include "system_defs/windows_h.h"

namespace platform::storage {

namespace {

// Why the open file is not a file of a disk, for a user; empty when it is one.
std::string WhyNotAFile(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            break;
        case FILE_TYPE_CHAR:
            return "a character device (a console, a port, NUL)";
        case FILE_TYPE_PIPE:
            return "a pipe";
        default:
            return "not a file";
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return "not a file (" + Win32ErrorText(::GetLastError()) + ")";
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "a folder" : "";
}

bool IsDevicePath(const std::string& path) {
    return path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\", 0) == 0 ||
           path.rfind("//./", 0) == 0 || path.rfind("//?/", 0) == 0;
}

}  // namespace

FileHandle OpenImageFile(const std::string& path, const char* mode) {
    if (IsDevicePath(path)) {
        SetFailureCause(path + " is a device path, not an image file.");
        return nullptr;
    }
    // A file to be created over is first opened as it is, so nothing but a file is truncated.
    const bool create = mode[0] == 'w';
    std::FILE* file = std::fopen(path.c_str(), create ? "r+b" : mode);
    if (file == nullptr && create && errno == ENOENT) {
        file = std::fopen(path.c_str(), mode);
    }
    if (file == nullptr) {
        SetFailureCause(path + " could not be opened: " + ErrnoText(errno) + ".");
        return nullptr;
    }
    if (const std::string why = WhyNotAFile(file); !why.empty()) {
        std::fclose(file);
        SetFailureCause(path + " is " + why + ", not an image file.");
        return nullptr;
    }
    if (create && (::_chsize_s(::_fileno(file), 0) != 0 || std::fseek(file, 0, SEEK_SET) != 0)) {
        SetFailureCause(path + " could not be emptied: " + ErrnoText(errno) + ".");
        std::fclose(file);
        return nullptr;
    }
    const long long size = ::_filelengthi64(::_fileno(file));
    return std::make_unique<BufferedFileStream>(file, size > 0 ? static_cast<uint64_t>(size) : 0);
}

// Image files on Windows: a file of a disk (checked by its stream's open), read through a
// descriptor of its own when it is compressed.
FileHandle OpenImageStream(const std::string& path) {
    FileHandle plain = OpenImageFile(path, "rb");
    if (!plain) {
        return nullptr;
    }
    UniqueFd fd(::_open(path.c_str(), _O_RDONLY | _O_BINARY));
    if (!fd.valid()) {
        SetFailureCause(path + " could not be opened: " + ErrnoText(errno) + ".");
        return nullptr;
    }
    return DecodeImage(path, std::move(fd), [&](UniqueFd) { return std::move(plain); });
}

}  // namespace platform::storage
