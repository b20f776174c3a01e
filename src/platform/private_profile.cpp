#include "platform/private_profile.h"

#include <unistd.h>

#include <optional>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace pagoling::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Section and key names ignore the case of ASCII letters only.
bool SameName(std::string_view a, std::string_view b) { return EqualIgnoringAsciiCase(a, b); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(begin, end - begin));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    begin = end + 1;
  }
  return lines;
}

// The position of the first `wanted` that starts a character: a GBK trail byte can equal ']'.
std::size_t FindCharacter(std::string_view text, char wanted) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == wanted) return i;
    if (IsGbkLeadByte(text[i])) ++i;
  }
  return std::string_view::npos;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = FindCharacter(trimmed, ']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> KeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

// The lines of the first section of that name: [first, last) after the header, or nothing.
struct SectionRange {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines,
                                        std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::string_view gbk_path) {
  const std::optional<std::string> text = ReadWholeFile(gbk_path);
  if (!text) return std::string(default_value);
  const std::vector<std::string> lines = SplitLines(*text);
  const auto range = FindSection(lines, section);
  if (!range) return std::string(default_value);
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const auto entry = KeyLine(lines[i]);
    if (!entry || !SameName(entry->key, key)) continue;
    std::string_view value = entry->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::string(default_value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view gbk_path) {
  const std::filesystem::path native = NativePath(gbk_path);
  // A read-only file stays as it is, as on Windows; renaming over it would bypass the protection.
  if (FileExists(gbk_path) && ::access(native.c_str(), W_OK) != 0) return false;
  // A value is one line: a line break in it would write stray lines that read back as other keys
  // or sections. What follows the break would never be read back anyway.
  value = value.substr(0, value.find_first_of("\r\n"));
  std::vector<std::string> lines = SplitLines(ReadWholeFile(gbk_path).value_or(""));
  if (const auto range = FindSection(lines, section)) {
    std::size_t insert_at = range->header + 1;
    bool replaced = false;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      const auto found = KeyLine(lines[i]);
      if (!found) continue;
      if (SameName(found->key, key)) {
        // The key keeps the spelling the file gave it; only its value changes.
        lines[i] = std::string(found->key) + "=" + std::string(value);
        replaced = true;
        break;
      }
      insert_at = i + 1;
    }
    if (!replaced) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                   std::string(key) + "=" + std::string(value));
    }
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(std::string(key) + "=" + std::string(value));
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return ReplaceFileAtomically(native, text);
}

}  // namespace pagoling::platform
