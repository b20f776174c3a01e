#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

namespace pagoling::platform {
namespace {

bool AppearsWithin(const std::filesystem::path& file, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::filesystem::exists(file)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(ProcessTest, ArgumentWithShellCharactersReachesTheProgramWhole) {
  testing::TempDir dir;
  const std::filesystem::path target = dir.Path() / "a b;$(touch x)";
  const bool stray_existed = std::filesystem::exists("x");

  ASSERT_TRUE(StartProgram("touch", {target.string()}));

  EXPECT_TRUE(AppearsWithin(target, std::chrono::seconds(10)));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a b"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "x"));
  if (!stray_existed) {
    EXPECT_FALSE(std::filesystem::exists("x"));
  }
}

TEST(ProcessTest, MissingProgramIsReported) {
  EXPECT_FALSE(StartProgram("pagoling-no-such-program", {"argument"}));
}

}  // namespace
}  // namespace pagoling::platform
