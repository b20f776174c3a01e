// pagoling_data_tool: turns the shipped data (UTF-8 sources with LF line ends) into what the
// program reads (GBK text with CR LF, as on Windows), stages it for installation and lays it next
// to the binaries without touching a file that is already there.
//
// usage: pagoling_data_tool SOURCE STAGE RUN_DIRECTORY ENTRY...
//   Every file under SOURCE/ENTRY is converted into STAGE (replaced when it changed) and copied to
//   RUN_DIRECTORY only when no file of that name exists there: a template the user edited next to
//   the binaries survives every build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace {

namespace fs = std::filesystem;
using pagoling::platform::GbkFromUtf8;
using pagoling::platform::Utf8FromGbk;

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool IsText(const fs::path& path) {
  const std::string extension = path.extension().string();
  return extension == ".htm" || extension == ".html" || extension == ".txt" ||
         extension == ".ini" || extension == ".css";
}

// Text becomes GBK with CR LF. A character that GBK cannot hold would turn into "?" silently, so
// it is an error here: the source must be fixed, not the shipped file spoilt.
std::optional<std::string> ToShipped(const fs::path& path, const std::string& bytes) {
  if (!IsText(path)) return bytes;
  std::string crlf;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) crlf.push_back('\r');
    crlf.push_back(bytes[i]);
  }
  std::string gbk = GbkFromUtf8(crlf);
  if (Utf8FromGbk(gbk) != crlf) {
    std::fprintf(stderr, "pagoling_data_tool: %s holds text that GBK cannot write\n",
                 path.string().c_str());
    return std::nullopt;
  }
  return gbk;
}

bool Lay(const fs::path& source, const fs::path& relative, const fs::path& stage,
         const fs::path& run_directory) {
  const std::optional<std::string> bytes = ReadBytes(source / relative);
  if (!bytes) {
    std::fprintf(stderr, "pagoling_data_tool: cannot read %s\n", (source / relative).c_str());
    return false;
  }
  const std::optional<std::string> shipped = ToShipped(relative, *bytes);
  if (!shipped) return false;
  const fs::path staged = stage / relative;
  if (ReadBytes(staged) != shipped && !WriteBytes(staged, *shipped)) {
    std::fprintf(stderr, "pagoling_data_tool: cannot write %s\n", staged.c_str());
    return false;
  }
  const fs::path target = run_directory / relative;
  std::error_code error;
  if (fs::exists(target, error)) return true;
  if (!WriteBytes(target, *shipped)) {
    std::fprintf(stderr, "pagoling_data_tool: cannot write %s\n", target.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: pagoling_data_tool SOURCE STAGE RUN_DIRECTORY ENTRY...\n");
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path stage = argv[2];
  const fs::path run_directory = argv[3];
  bool ok = true;
  for (int i = 4; i < argc; ++i) {
    const fs::path entry = source / argv[i];
    std::error_code error;
    if (fs::is_regular_file(entry, error)) {
      ok = Lay(source, argv[i], stage, run_directory) && ok;
      continue;
    }
    if (!fs::is_directory(entry, error)) {
      std::fprintf(stderr, "pagoling_data_tool: no such entry %s\n", entry.c_str());
      ok = false;
      continue;
    }
    std::vector<fs::path> files;
    for (const auto& item : fs::recursive_directory_iterator(entry)) {
      if (item.is_regular_file()) files.push_back(fs::relative(item.path(), source));
    }
    for (const fs::path& relative : files) ok = Lay(source, relative, stage, run_directory) && ok;
  }
  return ok ? 0 : 1;
}
