// pagoling-sim: the sandbox platform as a program of its own, for the demo and offline work.
#include <pthread.h>
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "sim/sandbox.h"

namespace {

constexpr std::string_view kUsage =
    "usage: pagoling-sim [--port N] [--host ADDRESS] [--quiet]\n"
    "\n"
    "Serves the affiliate platform and the two short-link services on one address, for tests,\n"
    "the demo and offline work. Point every host setting of Pagoling at the printed address.\n"
    "\n"
    "  --port N        port to listen on (default 0: the system picks one)\n"
    "  --host ADDRESS  address to bind (default 127.0.0.1)\n"
    "  --quiet         do not print one line per request\n"
    "  --help          show this text\n"
    "\n"
    "Log in at /member/minilogin.htm with any non-empty user name and password.\n"
    "Stops on Ctrl-C (SIGINT) or SIGTERM.\n";

bool ParsePort(const char* text, int& port) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0 || value > 65535) return false;
  port = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0;
  bool quiet = false;
  pagoling::sim::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--quiet") {
      quiet = true;
    } else if (arg == "--port" && i + 1 < argc) {
      if (!ParsePort(argv[++i], port)) {
        std::cerr << "pagoling-sim: bad port " << argv[i] << "\n";
        return 2;
      }
    } else if (arg == "--host" && i + 1 < argc) {
      options.host = argv[++i];
    } else {
      std::cerr << "pagoling-sim: unknown argument " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (!quiet) {
    options.on_request = [](const pagoling::sim::RecordedRequest& request) {
      std::printf("%s %s\n", request.method.c_str(), request.target.c_str());
      std::fflush(stdout);
    };
  }

  // Every thread the server starts inherits this mask, so the signals reach only sigwait below
  // and shutdown runs on the main thread, not inside a handler.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  pagoling::sim::Sandbox sandbox(options);
  if (!sandbox.Start(port)) {
    std::cerr << "pagoling-sim: cannot listen on " << options.host << ":" << port << "\n";
    return 1;
  }
  std::printf("pagoling-sim listening on %s\n", sandbox.BaseUrl().c_str());
  std::printf("log in at %s/member/minilogin.htm (any non-empty user name and password)\n",
              sandbox.BaseUrl().c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&stop_signals, &received);
  sandbox.Stop();
  std::printf("pagoling-sim stopped\n");
  return 0;
}
