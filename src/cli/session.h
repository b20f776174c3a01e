#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"

namespace pagoling::cli {

// Where a command writes; the progress line is drawn only when standard error is a terminal.
struct Io {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool progress = false;
};

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitStoppedByCheck = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// One headless run: start-up in the run directory, the options written into their controls, a
// press of start, the log streamed until the worker ends.
struct RunRequest {
  std::string dir;
  std::string cookie_jar;
  std::string keywords_gbk;  // the keyword box's text
  std::optional<std::string> template_name;
  std::optional<int> sort_order;
  std::vector<ControlText> texts;
  bool save_settings = false;
};

// Returns the exit status.
int RunInFolder(const RunRequest& request, Io& io);

// Parses the arguments (without the program name) and runs the command.
int Main(const std::vector<std::string>& arguments, Io& io);

// Ctrl-C: presses stop on the run under way, if any. Safe to call from any thread.
void OnInterrupt();

}  // namespace pagoling::cli
