#pragma once

#include <filesystem>
#include <string>

namespace pagoling::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test. Suites run in parallel, so every test gets its own.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as a GBK text, as the system builds its paths.
  std::string Gbk() const;

 private:
  std::filesystem::path path_;
};

// Sets the run directory for the life of the object and puts it back afterwards.
class ScopedRunDirectory {
 public:
  explicit ScopedRunDirectory(const std::string& gbk_folder);
  ~ScopedRunDirectory();
  ScopedRunDirectory(const ScopedRunDirectory&) = delete;
  ScopedRunDirectory& operator=(const ScopedRunDirectory&) = delete;
};

}  // namespace pagoling::testing
