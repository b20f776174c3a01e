#pragma once

#include "generate/run_steps.h"
#include "net/endpoints.h"
#include "platform/pacer.h"
#include "ui/main_window.h"

// The per-product walks over ProductTable that ask the platform for promotion links.
namespace pagoling::generate {

// Units of PacingWait's amount.
enum class PacingUnit { kMilliseconds = 0, kSeconds = 1, kMinutes = 2, kHours = 3 };

// Waits the given time through the run's pacer; true when the time has passed.
bool PacingWait(platform::Pacer& pacer, long long amount, PacingUnit unit);

// One item-code request per product up to the product count, one second apart: appends the
// promotion link and title to PromotionLinkTable and logs each product unless custom collection
// is on.
void FetchItemLinks(ui::MainWindow& window, platform::Pacer& pacer, const net::Endpoints& endpoints,
                    const PubContext& context);

// The seller's credit picture and shop promotion link per product up to the product count, into
// columns 5 and 4 of ProductTable.
void FetchShopInfo(ui::MainWindow& window, platform::Pacer& pacer, const net::Endpoints& endpoints,
                   const PubContext& context);

}  // namespace pagoling::generate
