// Zip archives through this program's own zip reader on zlib.
#include "platform/storage/compressed/zip_inflate_decoder.h"
#include "platform/storage/compressed/zip_support.h"

namespace platform::storage {

std::unique_ptr<ImageDecoder> OpenZipEntry(int fd) {
    return ZipInflateDecoder::Open(fd);
}

std::string ZipRefusal() {
    return " is a zip archive that does not hold exactly one image file, stored or deflated and "
           "unencrypted (it holds several files, a link or an encrypted entry, uses another "
           "compression method, or its directory cannot be read).";
}

}  // namespace platform::storage
