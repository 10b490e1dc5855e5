#include "platform/storage/compressed/image_stream.h"

#include "platform/storage/compressed/bzip2_decoder.h"
#include "platform/storage/compressed/compressed_file_stream.h"
#include "platform/storage/compressed/gzip_decoder.h"
#include "platform/storage/compressed/image_format.h"
#include "platform/storage/compressed/positional_read.h"
#include "platform/storage/compressed/xz_decoder.h"
#include "platform/storage/compressed/zip_support.h"
#include "platform/storage/compressed/zstd_decoder.h"
#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

ImageFormat SniffFile(int fd) {
    unsigned char head[kSniffBytes] = {};
    const int64_t n = ReadAt(fd, head, sizeof head, 0);
    return SniffImageFormat(head, n > 0 ? static_cast<size_t>(n) : 0);
}

std::unique_ptr<ImageDecoder> OpenDecoder(ImageFormat format, int fd) {
    switch (format) {
        case ImageFormat::kXz:
            return XzDecoder::Open(fd);
        case ImageFormat::kZstd:
            return ZstdDecoder::Open(fd);
        case ImageFormat::kZip:
            return OpenZipEntry(fd);
        case ImageFormat::kGzip:
            return GzipDecoder::Open(fd);
        case ImageFormat::kBzip2:
            return Bzip2Decoder::Open(fd);
        case ImageFormat::kPlain:
            break;
    }
    return nullptr;
}

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::kXz:
            return "an xz";
        case ImageFormat::kZstd:
            return "a zstd";
        case ImageFormat::kZip:
            return "a zip";
        case ImageFormat::kGzip:
            return "a gzip";
        case ImageFormat::kBzip2:
            return "a bzip2";
        case ImageFormat::kPlain:
            break;
    }
    return "a plain";
}

FileHandle Refused(const std::string& cause) {
    SetFailureCause(cause);
    return nullptr;
}

}  // namespace

FileHandle DecodeImage(const std::string& path, UniqueFd fd,
                       const std::function<FileHandle(UniqueFd)>& plain) {
    const ImageFormat format = SniffFile(fd.get());
    if (format == ImageFormat::kPlain) {
        // Written as it is, a file that only claims to be compressed would put the wrong bytes
        // on the drive.
        return NamesCompressedFile(path)
                   ? Refused(path +
                             " is named like a compressed image, but its content is not one "
                             "(no xz, gzip, bzip2, zstd or zip signature at its start).")
                   : plain(std::move(fd));
    }
    std::unique_ptr<ImageDecoder> decoder = OpenDecoder(format, fd.get());
    if (!decoder) {
        return Refused(format == ImageFormat::kZip ? path + ZipRefusal()
                                                   : path + " starts as " + FormatName(format) +
                                                         " file does, but cannot be decompressed.");
    }
    FileHandle stream = CompressedFileStream::Open(std::move(fd), std::move(decoder));
    if (!stream) {
        return Refused(path + " is " + FormatName(format) +
                       " file whose start cannot be decompressed: it is damaged.");
    }
    return stream;
}

}  // namespace platform::storage
