#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Runs a program (found on PATH) with its arguments, without a shell, and waits for it.
// Returns its exit status, or -1 when it could not be started or did not exit normally.
// With output given, the program's standard output is collected there; its standard error is
// collected too, so a failure can be explained.
int RunProgram(const std::vector<std::string>& args, std::string* output = nullptr);

}  // namespace testing_support
