#pragma once

#include <string>

#include "net/endpoints.h"
#include "ui/main_window.h"

namespace pagoling::generate {

// The short link for a product's promotion link, from the service chosen with 单选框7 (NetEase)
// and 单选框8 (Baidu). With both chosen both are asked and Baidu's answer is kept; with neither
// the result is empty. A failed request gives "http://" (NetEase) or empty text (Baidu).
std::string ShortenLink(ui::MainWindow& window, const net::Endpoints& endpoints,
                        const std::string& link);

}  // namespace pagoling::generate
