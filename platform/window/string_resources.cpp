#include "platform/window/string_resources.h"

#include <map>

namespace platform::window {
namespace {
std::map<unsigned, std::string>& Strings() {
    static std::map<unsigned, std::string> strings;
    return strings;
}
}  // namespace

void RegisterString(unsigned id, const std::string& text) {
    Strings()[id] = text;
}

bool LoadString(unsigned id, std::string& text) {
    auto it = Strings().find(id);
    if (it == Strings().end()) {
        text.clear();
        return false;
    }
    text = it->second;
    return true;
}

}  // namespace platform::window
