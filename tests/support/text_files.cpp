#include "support/text_files.h"

#include <fstream>

#include "platform/codepage.h"

namespace pagoling::testing {

std::string Gbk(std::string_view utf8) { return platform::GbkFromUtf8(utf8); }

std::string Utf8(std::string_view gbk) { return platform::Utf8FromGbk(gbk); }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace pagoling::testing
