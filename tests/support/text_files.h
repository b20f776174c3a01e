#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Small helpers the suites share: the system's GBK text and whole files as bytes.
namespace pagoling::testing {

std::string Gbk(std::string_view utf8);
std::string Utf8(std::string_view gbk);

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Writes the bytes as the file's content, creating its folders.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace pagoling::testing
