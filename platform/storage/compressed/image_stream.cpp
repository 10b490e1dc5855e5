#include "platform/storage/compressed/image_stream.h"

#include <unistd.h>

#include "platform/storage/compressed/archive_decoder.h"
#include "platform/storage/compressed/bzip2_decoder.h"
#include "platform/storage/compressed/compressed_file_stream.h"
#include "platform/storage/compressed/gzip_decoder.h"
#include "platform/storage/compressed/image_format.h"
#include "platform/storage/regular_file.h"
#include "platform/storage/stdio_file_stream.h"

namespace platform::storage {

namespace {

ImageFormat SniffFile(int fd) {
    unsigned char head[kSniffBytes] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    return SniffImageFormat(head, n > 0 ? static_cast<size_t>(n) : 0);
}

std::unique_ptr<ImageDecoder> OpenDecoder(ImageFormat format, int fd) {
    switch (format) {
        case ImageFormat::kXz:
        case ImageFormat::kZstd:
            return ArchiveDecoder::OpenStream(fd);
        case ImageFormat::kZip:
            return ArchiveDecoder::OpenZipEntry(fd);
        case ImageFormat::kGzip:
            return GzipDecoder::Open(fd);
        case ImageFormat::kBzip2:
            return Bzip2Decoder::Open(fd);
        case ImageFormat::kPlain:
            break;
    }
    return nullptr;
}

}  // namespace

FileHandle OpenImageStream(const std::string& path) {
    UniqueFd fd = OpenRegularFile(path, false, false);
    if (!fd.valid()) {
        return nullptr;
    }
    const ImageFormat format = SniffFile(fd.get());
    if (format == ImageFormat::kPlain) {
        // Written as it is, a file that only claims to be compressed would put the wrong bytes
        // on the drive.
        return NamesCompressedFile(path) ? nullptr
                                         : StdioFileStream::FromDescriptor(std::move(fd), "rb");
    }
    std::unique_ptr<ImageDecoder> decoder = OpenDecoder(format, fd.get());
    if (!decoder) {
        return nullptr;
    }
    return CompressedFileStream::Open(std::move(fd), std::move(decoder));
}

}  // namespace platform::storage
