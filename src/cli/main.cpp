#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <thread>

#include "cli/session.h"

namespace {

// Signals are taken by one thread with sigwait, so Ctrl-C presses stop from an ordinary thread
// instead of from inside a signal handler.
class InterruptThread {
 public:
  InterruptThread() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    sigaddset(&signals_, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    thread_ = std::thread([this] {
      for (;;) {
        int signal = 0;
        if (sigwait(&signals_, &signal) != 0 || signal == SIGUSR1) return;
        pagoling::cli::OnInterrupt();
      }
    });
  }
  ~InterruptThread() {
    pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
  }
  InterruptThread(const InterruptThread&) = delete;
  InterruptThread& operator=(const InterruptThread&) = delete;

 private:
  sigset_t signals_;
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  // Blocked before any other thread starts, so every thread inherits the mask.
  InterruptThread interrupts;
  pagoling::cli::Io io{std::cout, std::cerr, std::cin, ::isatty(STDERR_FILENO) == 1};
  return pagoling::cli::Main(std::vector<std::string>(argv + 1, argv + argc), io);
}
