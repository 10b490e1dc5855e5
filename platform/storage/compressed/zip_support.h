#pragma once

#include <memory>
#include <string>

#include "platform/storage/compressed/image_decoder.h"

namespace platform::storage {

// The one file of the zip archive at fd (not owned), where this system reads zip archives; null
// when it cannot be read, or zip archives are not read here.
[[nodiscard]] std::unique_ptr<ImageDecoder> OpenZipEntry(int fd);

// Why a zip archive was refused, to follow its path in the failure cause.
std::string ZipRefusal();

}  // namespace platform::storage
