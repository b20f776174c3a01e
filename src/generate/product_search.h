#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generate/run_steps.h"
#include "net/endpoints.h"
#include "ui/main_window.h"

// The two requests that feed a run: the publisher context and the product search per keyword.
namespace pagoling::generate {

// Splits at every separator: empty parts count, a separator at the very end adds no part.
std::vector<std::string> SplitParts(const std::string& text, std::string_view separator);

// Site and ad zone ids from the four-part mm number of mm号编辑框, and the account's form token.
// A malformed mm number gives an empty context and sends nothing.
PubContext FetchPubContext(ui::MainWindow& window, const net::Endpoints& endpoints);

// The search address for a keyword with the sort order and the five filters of the window; none
// when no sort order is selected.
std::optional<std::string> SearchAddress(ui::MainWindow& window, const net::Endpoints& endpoints,
                                         const std::string& keyword, const std::string& tb_token);

// Sends the search and returns the reply percent-decoded and turned from UTF-8 into GBK; none when
// no sort order is selected (nothing is sent).
std::optional<std::string> SearchProducts(ui::MainWindow& window, const net::Endpoints& endpoints,
                                          const std::string& keyword, const std::string& tb_token);

}  // namespace pagoling::generate
