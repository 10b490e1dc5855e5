#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Runs body in a forked child of the test process that has dropped root for the user's
// identity (the given supplementary groups only, no capabilities), in the folder "/". The child
// hands back the string body returned: empty for success, otherwise what went wrong. A child
// that dies, or runs longer than timeoutSeconds (it is then killed), gives a description of that.
std::string RunAsUser(uid_t uid, gid_t gid, const std::function<std::string()>& body,
                      int timeoutSeconds = 60, const std::vector<gid_t>& groups = {});

}  // namespace testing_support
