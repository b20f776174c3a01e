#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File access from the system's own paths: GBK texts joined with "\\" or "/". Names are turned into
// the file system's encoding here and nowhere else; file contents stay bytes as written.
namespace pagoling::platform {

// Both separators become the native one and the GBK name becomes the file system's encoding, so a
// page for a Chinese keyword carries that name for every other program too.
std::filesystem::path NativePath(std::string_view gbk_path);

struct FolderEntry {
  std::string name;  // GBK, without the folder
  bool is_folder = false;
  bool is_regular_file = false;  // what Windows marks with the archive attribute
};

// Lists the entries of a folder whose names match the last part of the pattern ("*" any run of
// characters, "?" one character, letter case ignored as on Windows): "...\\模板\\*.*". Entries
// whose names GBK cannot write are left out, since no GBK path could reach them.
std::vector<FolderEntry> ListFolder(std::string_view gbk_pattern);

bool FileExists(std::string_view gbk_path);
bool IsFolder(std::string_view gbk_path);
// Creates one folder level; true when the folder exists afterwards.
bool CreateFolder(std::string_view gbk_path);
bool DeleteFile(std::string_view gbk_path);

std::optional<std::string> ReadWholeFile(std::string_view gbk_path);
// Writes the bytes in place of the file's content. On a worker thread the write is one step with
// respect to halting: it lands whole before the halt returns, or not at all.
bool WriteWholeFile(std::string_view gbk_path, std::string_view bytes);

// Windows wildcard match of one name, letter case ignored.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace pagoling::platform
