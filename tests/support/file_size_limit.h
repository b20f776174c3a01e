#pragma once

#include <sys/resource.h>

#include <cstddef>

namespace pagoling::testing {

// Stands in for a full disk: no file of this process may grow beyond the given size while the
// object lives. The limit binds root too, where folder permissions would not. A write beyond it
// raises SIGXFSZ, which would end the test program, so the signal is ignored meanwhile.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(std::size_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  void (*old_handler_)(int) = nullptr;
};

}  // namespace pagoling::testing
