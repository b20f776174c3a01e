#include "platform/process.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace pagoling::platform {

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> owned;
  owned.reserve(arguments.size() + 1);
  owned.push_back(program);
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(owned.size() + 1);
  for (std::string& argument : owned) argv.push_back(argument.data());
  argv.push_back(nullptr);

  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return false;
  }
  // Nobody waits for the program, yet its exit status must be collected or it stays a zombie.
  std::thread([child] {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace pagoling::platform
