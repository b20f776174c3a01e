#include "support/file_size_limit.h"

#include <csignal>
#include <stdexcept>

namespace pagoling::testing {

ScopedFileSizeLimit::ScopedFileSizeLimit(std::size_t bytes) {
  if (getrlimit(RLIMIT_FSIZE, &old_limit_) != 0) throw std::runtime_error("getrlimit failed");
  old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit_;
  small.rlim_cur = static_cast<rlim_t>(bytes);
  if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
    std::signal(SIGXFSZ, old_handler_);
    throw std::runtime_error("setrlimit failed");
  }
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &old_limit_);
  std::signal(SIGXFSZ, old_handler_);
}

}  // namespace pagoling::testing
