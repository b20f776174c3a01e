#pragma once

#include <string>

#include "cli/session.h"

namespace pagoling::cli {

// The out-of-the-box job: the sandbox platform in-process, a prepared run directory, a login, a
// run over three sample keywords on the real pacing, and the list of pages written.
int RunDemo(const std::string& dir, Io& io);

}  // namespace pagoling::cli
