// Zip archives through libarchive's zip reader.
#include "platform/storage/compressed/zip_entry_decoder.h"
#include "platform/storage/compressed/zip_support.h"

namespace platform::storage {

std::unique_ptr<ImageDecoder> OpenZipEntry(int fd) {
    return ZipEntryDecoder::Open(fd);
}

std::string ZipRefusal() {
    return " is a zip archive that does not hold exactly one image file (it holds several, a link "
           "or an encrypted entry, or its directory cannot be read).";
}

}  // namespace platform::storage
