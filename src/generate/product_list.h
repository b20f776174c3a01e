#pragma once

#include <string>
#include <vector>

#include "platform/pacer.h"
#include "ui/main_window.h"

// Cutting a search reply into product records and their fields, into ProductTable.
namespace pagoling::generate {

// The stretches between successive marker pairs, letters matched in any case, each trimmed of
// ASCII and full-width spaces. An empty stretch ends the scan.
std::vector<std::string> CollectSegments(const std::string& text, const std::string& left,
                                         const std::string& right);

// Appends one ProductTable row per product record of the reply not yet in the table (product id
// compared without letter case), with `promotion_price` in column 9, then rests 200 ms.
void ExtractProducts(ui::MainWindow& window, platform::Pacer& pacer, const std::string& reply,
                     const std::string& promotion_price);

}  // namespace pagoling::generate
