#include "platform/storage/compressed/zip_directory.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/storage/compressed/positional_read.h"

namespace platform::storage {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;

constexpr size_t kEndBytes = 22;
constexpr size_t kZip64LocatorBytes = 20;
constexpr size_t kZip64EndBytes = 56;
constexpr size_t kCentralBytes = 46;
constexpr size_t kLocalBytes = 30;
// The end record's comment is at most 64 KiB long; a Zip64 locator may come just before it.
constexpr size_t kEndSearchBytes = kZip64LocatorBytes + kEndBytes + 0xFFFF;
// One file and its folders take far less; this bounds what is read and kept of the directory.
constexpr uint64_t kMaxDirectoryBytes = 1u << 20;

constexpr uint32_t kMax32 = 0xFFFFFFFF;
constexpr uint16_t kMax16 = 0xFFFF;
constexpr uint16_t kEncrypted = 1;  // general-purpose flag bit 0
constexpr uint16_t kZip64ExtraId = 1;
constexpr unsigned kHostUnix = 3;
constexpr unsigned kHostMac = 19;  // OS X, whose attributes are Unix modes too
constexpr uint32_t kUnixFileType = 0170000;
constexpr uint32_t kUnixRegular = 0100000;

uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const unsigned char* p) {
    return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16;
}

uint64_t Le64(const unsigned char* p) {
    return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32;
}

// Exactly size bytes at offset; false when the file ends first or reading fails.
bool ReadExactly(int fd, void* buffer, size_t size, uint64_t offset) {
    auto* into = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const int64_t n = ReadAt(fd, into, size, offset);
        if (n <= 0) {
            return false;
        }
        into += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// Where the central directory lies, as the end records tell.
struct Directory {
    uint64_t offset = 0;
    uint64_t size = 0;
    uint64_t entries = 0;
};

// The directory, when it ends exactly where the record that describes it starts.
std::optional<Directory> EndingAt(const Directory& directory, uint64_t end) {
    if (directory.offset > end || end - directory.offset != directory.size) {
        return std::nullopt;
    }
    return directory;
}

// The end record in tail, the file's last bytes: the last signature whose comment reaches
// exactly to the file's end.
std::optional<size_t> FindEndRecord(const Bytes& tail) {
    for (size_t at = tail.size() - kEndBytes + 1; at-- > 0;) {
        if (Le32(&tail[at]) == kEndSignature &&
            at + kEndBytes + Le16(&tail[at + 20]) == tail.size()) {
            return at;
        }
    }
    return std::nullopt;
}

// The directory as the Zip64 end record tells that the locator at locatorOffset points to; the
// record ends where the locator starts.
std::optional<Directory> ReadZip64Directory(int fd, const unsigned char* locator,
                                            uint64_t locatorOffset) {
    const uint64_t at = Le64(locator + 8);
    if (Le32(locator + 4) != 0 || Le32(locator + 16) > 1 || at > locatorOffset ||
        locatorOffset - at < kZip64EndBytes) {
        return std::nullopt;
    }
    unsigned char record[kZip64EndBytes];
    if (!ReadExactly(fd, record, sizeof record, at) || Le32(record) != kZip64EndSignature ||
        Le64(record + 4) != locatorOffset - at - 12 || Le32(record + 16) != 0 ||
        Le32(record + 20) != 0 || Le64(record + 24) != Le64(record + 32)) {
        return std::nullopt;
    }
    return EndingAt({Le64(record + 48), Le64(record + 40), Le64(record + 32)}, at);
}

std::optional<Directory> FindDirectory(int fd, uint64_t length) {
    if (length < kEndBytes) {
        return std::nullopt;
    }
    Bytes tail(std::min<uint64_t>(length, kEndSearchBytes));
    const uint64_t tailOffset = length - tail.size();
    if (!ReadExactly(fd, tail.data(), tail.size(), tailOffset)) {
        return std::nullopt;
    }
    const std::optional<size_t> found = FindEndRecord(tail);
    if (!found) {
        return std::nullopt;
    }
    const unsigned char* end = &tail[*found];
    if (*found >= kZip64LocatorBytes && Le32(end - kZip64LocatorBytes) == kZip64LocatorSignature) {
        return ReadZip64Directory(fd, end - kZip64LocatorBytes,
                                  tailOffset + *found - kZip64LocatorBytes);
    }
    // One disk: this one holds the whole directory.
    if (Le16(end + 4) != 0 || Le16(end + 6) != 0 || Le16(end + 8) != Le16(end + 10)) {
        return std::nullopt;
    }
    return EndingAt({Le32(end + 16), Le32(end + 12), Le16(end + 10)}, tailOffset + *found);
}

// What the reader needs of one entry of the central directory.
struct CentralEntry {
    uint16_t madeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t attributes = 0;  // external
    uint32_t disk = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint64_t localOffset = 0;
    std::string name;
};

bool NeedsZip64(const CentralEntry& entry) {
    return entry.size == kMax32 || entry.compressedSize == kMax32 || entry.localOffset == kMax32 ||
           entry.disk == kMax16;
}

// The values the fixed fields leave to the Zip64 extra field (those at their maximum), in the
// field's order.
bool TakeZip64Values(const unsigned char* field, size_t bytes, CentralEntry* entry) {
    size_t at = 0;
    for (uint64_t* value : {&entry->size, &entry->compressedSize, &entry->localOffset}) {
        if (*value == kMax32) {
            if (bytes - at < 8) {
                return false;
            }
            *value = Le64(field + at);
            at += 8;
        }
    }
    if (entry->disk == kMax16) {
        if (bytes - at < 4) {
            return false;
        }
        entry->disk = Le32(field + at);
    }
    return true;
}

// The extra fields (id, length, data), each within the extra bytes; the Zip64 one is read when a
// fixed field calls for it, and must then be there.
bool ReadExtraFields(const unsigned char* extra, size_t bytes, CentralEntry* entry) {
    bool zip64 = !NeedsZip64(*entry);
    for (size_t at = 0; bytes - at >= 4;) {
        const size_t fieldBytes = Le16(extra + at + 2);
        if (bytes - at - 4 < fieldBytes) {
            return false;
        }
        if (!zip64 && Le16(extra + at) == kZip64ExtraId) {
            if (!TakeZip64Values(extra + at + 4, fieldBytes, entry)) {
                return false;
            }
            zip64 = true;
        }
        at += 4 + fieldBytes;
    }
    return zip64;
}

// The central record at *at of the directory, moving *at past it; nullopt when none fits there.
std::optional<CentralEntry> ReadCentralEntry(const Bytes& directory, size_t* at) {
    if (directory.size() - *at < kCentralBytes) {
        return std::nullopt;
    }
    const unsigned char* p = &directory[*at];
    const size_t nameBytes = Le16(p + 28);
    const size_t extraBytes = Le16(p + 30);
    const size_t recordBytes = kCentralBytes + nameBytes + extraBytes + Le16(p + 32);
    if (Le32(p) != kCentralSignature || directory.size() - *at < recordBytes) {
        return std::nullopt;
    }
    CentralEntry entry;
    entry.madeBy = Le16(p + 4);
    entry.flags = Le16(p + 8);
    entry.method = Le16(p + 10);
    entry.crc = Le32(p + 16);
    entry.compressedSize = Le32(p + 20);
    entry.size = Le32(p + 24);
    entry.disk = Le16(p + 34);
    entry.attributes = Le32(p + 38);
    entry.localOffset = Le32(p + 42);
    entry.name.assign(reinterpret_cast<const char*>(p + kCentralBytes), nameBytes);
    if (!ReadExtraFields(p + kCentralBytes + nameBytes, extraBytes, &entry)) {
        return std::nullopt;
    }
    *at += recordBytes;
    return entry;
}

bool IsFolder(const CentralEntry& entry) {
    return !entry.name.empty() && entry.name.back() == '/';
}

// A file the reader can give: on this disk, unencrypted, stored (as long as it is) or deflated,
// and no link or other special file where the attributes are Unix modes.
bool IsReadableFile(const CentralEntry& entry) {
    const unsigned host = entry.madeBy >> 8;
    const uint32_t type = (entry.attributes >> 16) & kUnixFileType;
    const bool special =
        (host == kHostUnix || host == kHostMac) && type != 0 && type != kUnixRegular;
    const bool method = entry.method == kZipDeflated ||
                        (entry.method == kZipStored && entry.compressedSize == entry.size);
    return entry.disk == 0 && (entry.flags & kEncrypted) == 0 && method && !special &&
           !IsFolder(entry);
}

// The one file among the directory's entries, which must fill it exactly.
std::optional<CentralEntry> FindOnlyFile(const Bytes& directory, uint64_t entries) {
    std::optional<CentralEntry> file;
    size_t at = 0;
    for (uint64_t i = 0; i < entries; ++i) {
        std::optional<CentralEntry> entry = ReadCentralEntry(directory, &at);
        if (!entry) {
            return std::nullopt;
        }
        if (IsFolder(*entry) && entry->size == 0) {
            continue;
        }
        if (file || !IsReadableFile(*entry)) {
            return std::nullopt;
        }
        file = std::move(entry);
    }
    return at == directory.size() ? file : std::nullopt;
}

// Where the file's data starts, after its local header, which must name it as the directory does,
// in the same method and unencrypted; the data must end before the directory starts.
std::optional<uint64_t> LocateData(int fd, const CentralEntry& file, uint64_t directoryOffset) {
    if (file.localOffset > directoryOffset || directoryOffset - file.localOffset < kLocalBytes) {
        return std::nullopt;
    }
    unsigned char header[kLocalBytes];
    if (!ReadExactly(fd, header, sizeof header, file.localOffset) ||
        Le32(header) != kLocalSignature || (Le16(header + 6) & kEncrypted) != 0 ||
        Le16(header + 8) != file.method || Le16(header + 26) != file.name.size()) {
        return std::nullopt;
    }
    std::string name(file.name.size(), '\0');
    if (!ReadExactly(fd, name.data(), name.size(), file.localOffset + kLocalBytes) ||
        name != file.name) {
        return std::nullopt;
    }
    const uint64_t dataOffset = file.localOffset + kLocalBytes + name.size() + Le16(header + 28);
    if (dataOffset > directoryOffset || directoryOffset - dataOffset < file.compressedSize) {
        return std::nullopt;
    }
    return dataOffset;
}

}  // namespace

std::optional<ZipFileEntry> FindOnlyZipFile(int fd) {
    const int64_t length = FileLength(fd);
    if (length < 0) {
        return std::nullopt;
    }
    const std::optional<Directory> directory = FindDirectory(fd, static_cast<uint64_t>(length));
    if (!directory || directory->size > kMaxDirectoryBytes) {
        return std::nullopt;
    }
    Bytes bytes(directory->size);
    if (!ReadExactly(fd, bytes.data(), bytes.size(), directory->offset)) {
        return std::nullopt;
    }
    const std::optional<CentralEntry> file = FindOnlyFile(bytes, directory->entries);
    if (!file) {
        return std::nullopt;
    }
    const std::optional<uint64_t> dataOffset = LocateData(fd, *file, directory->offset);
    if (!dataOffset) {
        return std::nullopt;
    }
    return ZipFileEntry{file->method, file->crc,   file->compressedSize,
                        file->size,   *dataOffset, static_cast<uint64_t>(length)};
}

}  // namespace platform::storage
