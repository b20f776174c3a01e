#include "support/temp_dir.h"

#include <atomic>
#include <random>

#include "platform/codepage.h"
#include "platform/run_directory.h"

namespace pagoling::testing {

TempDir::TempDir() {
  std::random_device random;
  static std::atomic<int> counter{0};
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("pagoling-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string TempDir::Gbk() const { return platform::GbkFromUtf8(path_.string()); }

ScopedRunDirectory::ScopedRunDirectory(const std::string& gbk_folder) {
  platform::SetRunDirectory(gbk_folder);
}

ScopedRunDirectory::~ScopedRunDirectory() { platform::SetRunDirectory(""); }

}  // namespace pagoling::testing
