#pragma once

#include <string>
#include <string_view>

// INI files with the semantics of Windows' private-profile functions, which the settings file has
// always been read and written with. Section names, keys, values and the path are GBK.
namespace pagoling::platform {

// The value of `key` in `section`, or `default_value` when the file, the section or the key is
// missing. Names match without regard to letter case; the value is trimmed and a value held in
// matching quotes loses them. The first section of a name and the first key of a name win.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::string_view gbk_path);

// Sets `key` in `section` to `value`, keeping every other line of the file as it was: an existing
// key is rewritten in place, a new key goes after the last entry of its section, a missing section
// is appended at the end. Lines end in CR LF. The file is replaced atomically (written beside,
// then renamed), so a crash or a full disk never leaves it cut short. False when it could not be
// written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view gbk_path);

}  // namespace pagoling::platform
