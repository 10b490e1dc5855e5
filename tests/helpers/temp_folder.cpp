#include "tests/helpers/temp_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace testing_support {

std::string MakeTempFolder(const std::string& prefix, std::string* failure) {
    const std::string pattern = std::filesystem::temp_directory_path() / (prefix + "XXXXXX");
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        *failure = std::string("cannot create a temporary folder: ") + std::strerror(errno);
        return "";
    }
    return name.data();
}

}  // namespace testing_support
