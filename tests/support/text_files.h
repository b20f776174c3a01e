#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Small helpers the suites share: the system's GBK text, whole files as bytes, folder trees.
namespace pagoling::testing {

std::string Gbk(std::string_view utf8);
std::string Utf8(std::string_view gbk);
// Each text turned into UTF-8, for readable assertions on what the system showed.
std::vector<std::string> Utf8(const std::vector<std::string>& gbk_texts);

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Writes the bytes as the file's content, creating its folders.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// Every entry under the folder, folders included, relative to it and sorted.
std::vector<std::string> Tree(const std::filesystem::path& folder);

}  // namespace pagoling::testing
