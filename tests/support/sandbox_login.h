#pragma once

#include <string>

#include "net/endpoints.h"
#include "sim/sandbox.h"

namespace pagoling::testing {

// Endpoints with every host of the platform and the short-link services at the sandbox.
net::Endpoints SandboxEndpoints(const sim::Sandbox& sandbox);

// A login made without the form: the session's cookie goes into the shared cookie store, as the
// login pane would leave it. Returns the session's form token.
std::string LogInToSandbox(sim::Sandbox& sandbox);

}  // namespace pagoling::testing
