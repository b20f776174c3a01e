#pragma once

#include <string>

#include "net/endpoints.h"
#include "ui/main_window.h"

// The login page: the user logs in inside the browser pane; the login's cookies in the shared
// store then authorise every request. The system keeps no login state of its own.
namespace pagoling::app {

std::string AffiliateLoginAddress(const net::Endpoints& endpoints);
std::string MarketLoginAddress(const net::Endpoints& endpoints);

// Click of 超级按钮6: the login page to the front; opens the affiliate login when no login choice
// was made yet.
void ShowLoginPage(ui::MainWindow& window, const net::Endpoints& endpoints);
// Clicks of 单选框6 (affiliate login) and 单选框5 (marketplace login).
void OnAffiliateLoginClicked(ui::MainWindow& window, const net::Endpoints& endpoints);
void OnMarketLoginClicked(ui::MainWindow& window, const net::Endpoints& endpoints);

// Fetches the page the login pane shows with the shared cookies; logged in when its raw bytes hold
// 退出 in GBK.
bool CheckLogin(ui::MainWindow& window);

}  // namespace pagoling::app
