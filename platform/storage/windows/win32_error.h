#pragma once

#include <cstdint>
#include <string>

namespace platform::storage {

// The system's text for an error code ("The media is write protected."), without the line break
// it ends with, and its number: "The media is write protected (error 19)".
std::string Win32ErrorText(uint32_t error);

}  // namespace platform::storage
