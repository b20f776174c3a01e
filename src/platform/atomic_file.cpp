#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/cancel.h"

namespace pagoling::platform {

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                           std::filesystem::perms permissions) {
  bool replaced = false;
  RunThreadEffect([&] {
    const std::filesystem::path temporary = path.string() + ".new" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                          static_cast<mode_t>(permissions));
    if (fd < 0) return;
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    const bool complete = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete || ::rename(temporary.c_str(), path.c_str()) != 0) {
      ::unlink(temporary.c_str());
      return;
    }
    replaced = true;
  });
  return replaced;
}

}  // namespace pagoling::platform
