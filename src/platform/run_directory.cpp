#include "platform/run_directory.h"

#include <filesystem>
#include <mutex>

#include "platform/codepage.h"

namespace pagoling::platform {
namespace {

std::mutex mutex;
std::string override_folder;

std::string ProgramFolder() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) program = std::filesystem::current_path(error) / "pagoling";
  return GbkFromUtf8(program.parent_path().string());
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

}  // namespace

std::string RunDirectory() {
  std::lock_guard lock(mutex);
  if (!override_folder.empty()) return override_folder;
  static const std::string program_folder = ProgramFolder();
  return program_folder;
}

void SetRunDirectory(const std::string& gbk_folder) {
  std::lock_guard lock(mutex);
  override_folder = WithoutTrailingSeparator(gbk_folder);
}

}  // namespace pagoling::platform
