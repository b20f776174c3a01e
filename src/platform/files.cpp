#include "platform/files.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/cancel.h"
#include "platform/codepage.h"

namespace pagoling::platform {
namespace {

// Names are compared as Windows compares them: character by character in UTF-16, upper-cased, so
// "?" stands for one Chinese character (two GBK bytes) and the second byte of a character never
// folds.
std::u16string UpperUnits(std::string_view gbk) {
  std::u16string units = ToUtf16(gbk, CodePage::kGbk);
  for (char16_t& unit : units) {
    const UChar32 upper = u_toupper(unit);
    if (upper <= 0xFFFF) unit = static_cast<char16_t>(upper);
  }
  return units;
}

bool WildcardFrom(std::u16string_view pattern, std::u16string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::u16string_view::npos;
  std::size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_name = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
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
  return WildcardFrom(UpperUnits(pattern), UpperUnits(name));
}

std::vector<FolderEntry> ListFolder(std::string_view gbk_pattern) {
  // The last separator that stands as a character: the second byte of a GBK character can be '\\'.
  std::size_t cut = std::string_view::npos;
  for (std::size_t i = 0; i < gbk_pattern.size();) {
    const char c = gbk_pattern[i];
    if (c == '\\' || c == '/') cut = i;
    i += IsGbkLeadByte(c) ? 2 : 1;
  }
  std::string_view folder = cut == std::string_view::npos ? "." : gbk_pattern.substr(0, cut);
  std::string_view pattern =
      cut == std::string_view::npos ? gbk_pattern : gbk_pattern.substr(cut + 1);

  // "*.*" is Windows' way of saying every name, names without a dot included.
  const bool every_name = pattern == "*.*";
  const std::u16string wanted = UpperUnits(pattern);
  std::vector<std::pair<std::u16string, FolderEntry>> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(NativePath(folder), error);
  if (error) return {};
  for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (error) break;
    const std::filesystem::directory_entry& entry = *it;
    const std::string utf8_name = entry.path().filename().string();
    std::string name = GbkFromUtf8(utf8_name);
    if (Utf8FromGbk(name) != utf8_name) continue;
    // The upper-cased name is both what the pattern is matched against and the sort key.
    std::u16string key = UpperUnits(name);
    if (!every_name && !WildcardFrom(wanted, key)) continue;
    FolderEntry found;
    found.is_folder = entry.is_directory(error);
    found.is_regular_file = entry.is_regular_file(error);
    found.name = std::move(name);
    entries.emplace_back(std::move(key), std::move(found));
  }
  // The order NTFS lists a folder in: upper-cased UTF-16, unit by unit.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<FolderEntry> listed;
  listed.reserve(entries.size());
  for (auto& [key, found] : entries) listed.push_back(std::move(found));
  return listed;
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
  const std::filesystem::path path = NativePath(gbk_path);
  std::error_code error;
  // A folder opens as a stream on Linux, and reading it throws from inside the stream buffer.
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  try {
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
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
