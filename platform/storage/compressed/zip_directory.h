#pragma once

#include <cstdint>
#include <optional>

namespace platform::storage {

inline constexpr uint16_t kZipStored = 0;
inline constexpr uint16_t kZipDeflated = 8;

// The one file of a zip archive: what the central directory records of it, and where its data
// lies as its local header tells.
struct ZipFileEntry {
    uint16_t method = kZipStored;  // kZipStored or kZipDeflated
    uint32_t crc = 0;              // of the uncompressed content
    uint64_t compressedSize = 0;
    uint64_t size = 0;  // uncompressed
    uint64_t dataOffset = 0;
    uint64_t archiveLength = 0;  // the whole file's
};

// The one file of the zip archive at fd (not owned; read at positions, nothing read or kept
// beyond bounds of its own), from the end record, the central directory and the file's local
// header, following Zip64 records and fields. Folder entries (names ending in '/', empty) do not
// count. Nullopt when the archive holds no file or several, an encrypted entry, a link or another
// special file, a method other than stored or deflated, spans several disks, or when its
// directory cannot be read or disagrees with itself or with the file.
[[nodiscard]] std::optional<ZipFileEntry> FindOnlyZipFile(int fd);

}  // namespace platform::storage
