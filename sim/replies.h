#pragma once

#include <string>
#include <string_view>

#include "sim/catalogue.h"

// The JSON replies of the platform's services and of the two short-link services. The client does
// not parse JSON: it cuts values between fixed markers, so every builder keeps the compact layout
// (no space after ':' or ',') and the field order the markers rely on.
namespace pagoling::sim {

// Percent-encodes every byte except ASCII letters, digits and "-._~", as the platform escapes
// addresses inside its replies.
std::string PercentEncode(std::string_view text);

// The platform's answer to a request without a valid login or token.
std::string ErrorReply(std::string_view message);

struct Member {
  std::string user;  // UTF-8
  std::string member_id;
  std::string token;
};

// Context service: the form token of a logged-in member; a logged-out one gets no token field.
std::string ContextReply(const Member* member);

std::string SearchReply(const Catalogue& catalogue, const SearchQuery& query,
                        const SearchResult& result, std::string_view base_url);
std::string PromotionInfoReply(const Shop& shop, std::string_view base_url);
std::string ShopCodeReply(const Shop& shop, std::string_view pid, std::string_view base_url);
std::string ItemCodeReply(const Product& product, std::string_view pid, std::string_view base_url);

// The short-link services escape "/" as "\/" in their JSON, as PHP-built replies do.
std::string NeteaseShortReply(std::string_view short_value, std::string_view long_url);
std::string BaiduShortReply(std::string_view tinyurl, std::string_view long_url);
std::string BaiduShortError(std::string_view message);
std::string NeteaseShortError(std::string_view message);

// The credit picture's name for a level 1 to 20: hearts, diamonds, crowns, golden crowns.
std::string CreditPictureName(int level);

}  // namespace pagoling::sim
