// A build without a zip reader: zip archives are refused, with what to do instead.
#include "platform/storage/compressed/zip_support.h"

namespace platform::storage {

std::unique_ptr<ImageDecoder> OpenZipEntry(int) {
    return nullptr;
}

std::string ZipRefusal() {
    return " is a zip archive, which this version does not read on Windows: extract the image "
           "from it first (or use the image compressed with xz, gzip, bzip2 or zstd).";
}

}  // namespace platform::storage
