#pragma once

#include <string>

namespace testing_support {

// Creates a fresh folder in the system's temporary folder, named prefix plus a unique suffix.
// Returns its path, or empty with *failure saying why (worded as the reason to skip a test).
std::string MakeTempFolder(const std::string& prefix, std::string* failure);

}  // namespace testing_support
