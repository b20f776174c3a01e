#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/catalogue.h"

// The HTML pages of the sandbox, written as UTF-8 here and sent as GBK like the platform's own
// pages (the login check looks for the GBK bytes of 退出 in the raw body).
namespace pagoling::sim {

std::string HtmlEscape(std::string_view text);

// The login form posts user, password and the redirect address back to form_path.
std::string LoginPage(std::string_view heading, std::string_view form_path,
                      std::string_view redirect, std::string_view error);
// user is empty for a logged-out visitor; only a logged-in one sees the log-out link.
std::string MemberPage(std::string_view user);
std::string AdHomePage(std::string_view user);
std::string MarketLandingPage(std::string_view login_path);
std::string ProxyPage();
std::string ErrorPage();
std::string NotFoundPage(std::string_view path);
std::string IndexPage(std::string_view base_url, const std::vector<std::string>& source_paths);

// A source page for custom collection: one block per product, each opening with
// kSourceBlockStart and holding the product link first and the special price between the
// price codes.
inline constexpr std::string_view kSourceBlockStart = "<li class=\"item\">";
inline constexpr std::string_view kSourceBlockEnd = "</li>";
inline constexpr std::string_view kSourcePriceStart = "<em class=\"price\">";
inline constexpr std::string_view kSourcePriceEnd = "</em>";
std::string SourcePage(const Catalogue& catalogue, std::string_view heading,
                       const std::vector<const Product*>& products, std::string_view base_url);
std::string SourceIndexPage(const std::vector<std::string>& source_paths);
// The special price a source page shows for a product: 85 % of its price, as yuan text.
std::string SpecialPrice(const Product& product);

std::string ItemPage(const Catalogue& catalogue, const Product& product, std::string_view base_url);
std::string ShopPage(const Catalogue& catalogue, const Shop& shop, std::string_view base_url);

// Placeholder pictures as SVG, so pages made offline still show something in a browser.
std::string ProductPicture(const Product* product);
std::string CreditPicture(std::string_view name);

}  // namespace pagoling::sim
