#pragma once

#include <string>
#include <vector>

namespace pagoling::platform {

// Starts a program found on the search path with the given arguments and does not wait for it.
// Each argument reaches the program as it is, never through a shell, so a path with spaces or shell
// characters stays one argument. True when the program was started.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace pagoling::platform
