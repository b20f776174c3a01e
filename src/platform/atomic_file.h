#pragma once

#include <filesystem>
#include <string_view>

namespace pagoling::platform {

// Replaces a file's content atomically: the bytes go to a temporary file in the same folder, are
// flushed to disk, and the temporary file is renamed over the old one. A crash or a full disk
// leaves either the old file or the new one, never a file cut short. On a worker the replacement
// is one step with respect to halting.
bool ReplaceFileAtomically(
    const std::filesystem::path& path, std::string_view bytes,
    std::filesystem::perms permissions = std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);

}  // namespace pagoling::platform
