#include "platform/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/cancel.h"

namespace pagoling::platform {

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                           std::filesystem::perms permissions) {
  bool replaced = false;
  RunThreadEffect([&] {
    // Unique per call, not only per process: two threads saving the same file must not share one
    // temporary file and rename each other's half-written bytes into place.
    static std::atomic<unsigned> serial{0};
    const std::filesystem::path temporary = path.string() + ".new" + std::to_string(::getpid()) +
                                            "-" + std::to_string(serial.fetch_add(1));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                          static_cast<mode_t>(permissions));
    if (fd < 0) return;
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    const bool complete = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete || ::rename(temporary.c_str(), path.c_str()) != 0) {
      ::unlink(temporary.c_str());
      return;
    }
    // The rename itself reaches the disk only with its folder; a failure here loses nothing, since
    // either name holds complete bytes.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    replaced = true;
  });
  return replaced;
}

}  // namespace pagoling::platform
