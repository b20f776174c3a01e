#pragma once

#include <string>

namespace pagoling::platform {

// The folder that holds the program file, as GBK text without a trailing separator. Every path of
// the system is built on it.
std::string RunDirectory();

// Tests and the command line choose another folder; an empty text returns to the program's folder.
void SetRunDirectory(const std::string& gbk_folder);

}  // namespace pagoling::platform
