#include "support/text_files.h"

#include <algorithm>
#include <fstream>

#include "platform/codepage.h"

namespace pagoling::testing {

std::string Gbk(std::string_view utf8) { return platform::GbkFromUtf8(utf8); }

std::string Utf8(std::string_view gbk) { return platform::Utf8FromGbk(gbk); }

std::vector<std::string> Utf8(const std::vector<std::string>& gbk_texts) {
  std::vector<std::string> texts;
  for (const std::string& text : gbk_texts) texts.push_back(Utf8(text));
  return texts;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Tree(const std::filesystem::path& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    entries.push_back(std::filesystem::relative(entry.path(), folder).string());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace pagoling::testing
