#include "platform/files.h"

#include <algorithm>
#include <fstream>

#include "platform/cancel.h"
#include "platform/codepage.h"

namespace pagoling::platform {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool WildcardFrom(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;
  std::size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::filesystem::path NativePath(std::string_view gbk_path) {
  std::string utf8 = Utf8FromGbk(gbk_path);
  for (char& c : utf8) {
    if (c == '\\' || c == '/') c = static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return std::filesystem::path(utf8);
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  // "*.*" is Windows' way of saying every name, names without a dot included.
  if (pattern == "*.*") return true;
  return WildcardFrom(pattern, name);
}

std::vector<FolderEntry> ListFolder(std::string_view gbk_pattern) {
  std::size_t cut = gbk_pattern.find_last_of("\\/");
  std::string_view folder = cut == std::string_view::npos ? "." : gbk_pattern.substr(0, cut);
  std::string_view pattern = cut == std::string_view::npos ? gbk_pattern : gbk_pattern.substr(cut + 1);

  std::vector<FolderEntry> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(NativePath(folder), error);
  if (error) return entries;
  for (const auto& entry : it) {
    const std::string utf8_name = entry.path().filename().string();
    std::string name = GbkFromUtf8(utf8_name);
    if (Utf8FromGbk(name) != utf8_name) continue;
    if (!MatchesWildcard(pattern, name)) continue;
    FolderEntry found;
    found.name = std::move(name);
    found.is_folder = entry.is_directory(error);
    found.is_regular_file = entry.is_regular_file(error);
    entries.push_back(std::move(found));
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

bool FileExists(std::string_view gbk_path) {
  std::error_code error;
  return std::filesystem::exists(NativePath(gbk_path), error);
}

bool IsFolder(std::string_view gbk_path) {
  std::error_code error;
  return std::filesystem::is_directory(NativePath(gbk_path), error);
}

bool CreateFolder(std::string_view gbk_path) {
  bool created = false;
  RunThreadEffect([&] {
    std::error_code error;
    std::filesystem::path path = NativePath(gbk_path);
    std::filesystem::create_directory(path, error);
    created = std::filesystem::is_directory(path, error);
  });
  return created;
}

bool DeleteFile(std::string_view gbk_path) {
  bool removed = false;
  RunThreadEffect([&] {
    std::error_code error;
    std::filesystem::path path = NativePath(gbk_path);
    removed = !std::filesystem::is_directory(path, error) && std::filesystem::remove(path, error);
  });
  return removed;
}

std::optional<std::string> ReadWholeFile(std::string_view gbk_path) {
  CheckThreadToken();
  std::ifstream in(NativePath(gbk_path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteWholeFile(std::string_view gbk_path, std::string_view bytes) {
  bool written = false;
  RunThreadEffect([&] {
    std::ofstream out(NativePath(gbk_path), std::ios::binary | std::ios::trunc);
    if (!out) return;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    written = static_cast<bool>(out);
  });
  return written;
}

}  // namespace pagoling::platform
