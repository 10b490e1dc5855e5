#include "platform/storage/compressed/image_format.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace platform::storage {

namespace {

struct Signature {
    ImageFormat format;
    std::string_view bytes;
};

// gzip's third byte is its only method, deflate; zip's local header opens the first entry and
// an empty archive is nothing but its end record.
constexpr Signature kSignatures[] = {
    {ImageFormat::kXz, {"\xFD\x37\x7A\x58\x5A\x00", 6}},
    {ImageFormat::kGzip, "\x1F\x8B\x08"},
    {ImageFormat::kZstd, "\x28\xB5\x2F\xFD"},
    {ImageFormat::kZip, "PK\x03\x04"},
    {ImageFormat::kZip, "PK\x05\x06"},
};

bool StartsWith(const unsigned char* head, size_t size, std::string_view bytes) {
    return size >= bytes.size() && std::memcmp(head, bytes.data(), bytes.size()) == 0;
}

bool IsBzip2(const unsigned char* head, size_t size) {
    return StartsWith(head, size, "BZh") && size >= 4 && head[3] >= '1' && head[3] <= '9';
}

// A zstd skippable frame, whose magic numbers run from 0x184D2A50 to 0x184D2A5F (little-endian);
// pzstd starts its files with one.
bool IsZstdSkippableFrame(const unsigned char* head, size_t size) {
    return size >= 4 && (head[0] & 0xF0) == 0x50 && StartsWith(head + 1, size - 1, "\x2A\x4D\x18");
}

}  // namespace

ImageFormat SniffImageFormat(const unsigned char* head, size_t size) {
    for (const Signature& signature : kSignatures) {
        if (StartsWith(head, size, signature.bytes)) {
            return signature.format;
        }
    }
    if (IsZstdSkippableFrame(head, size)) {
        return ImageFormat::kZstd;
    }
    return IsBzip2(head, size) ? ImageFormat::kBzip2 : ImageFormat::kPlain;
}

bool NamesCompressedFile(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::string_view suffix : {".xz", ".gz", ".bz2", ".zst", ".zip"}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::storage
