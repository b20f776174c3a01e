#include "sim/replies.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace pagoling::sim {
namespace {

using Json = nlohmann::ordered_json;

// Compact layout; text that is not valid UTF-8 (a GBK word sent unconverted) is replaced rather
// than failing the reply.
std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string EscapeSlashes(const std::string& json_text) {
  std::string out;
  out.reserve(json_text.size() + 16);
  for (char c : json_text) {
    if (c == '/') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

Json OkInfo() { return Json{{"ok", true}, {"message", nullptr}}; }

double Yuan(std::int64_t fen) { return static_cast<double>(fen) / 100.0; }

std::string ShopUrl(std::string_view base_url, const Shop& shop) {
  return std::string(base_url) + "/shop.htm?user_number_id=" + shop.user_number_id;
}

}  // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool keep = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                byte == '~';
    if (keep) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

std::string ErrorReply(std::string_view message) {
  return Dump(Json{{"data", nullptr}, {"info", Json{{"ok", false}, {"message", message}}}});
}

std::string ContextReply(const Member* member) {
  if (member == nullptr) {
    return Dump(Json{{"data", Json{{"noLogin", true}}},
                     {"info", Json{{"ok", false}, {"message", "nologin"}}}});
  }
  Json data{{"memberid", member->member_id},
            {"mmNick", PercentEncode(member->user)},
            {"tb_token_", member->token},
            {"defaultSiteType", 0}};
  return Dump(Json{{"data", data}, {"info", OkInfo()}});
}

std::string SearchReply(const Catalogue& catalogue, const SearchQuery& query,
                        const SearchResult& result, std::string_view base_url) {
  Json pagelist = nullptr;
  if (!result.hits.empty()) pagelist = Json::array();
  for (const SearchHit& hit : result.hits) {
    const Product& p = *hit.product;
    const Shop& shop = catalogue.ShopOf(p);
    const std::string picture = std::string(base_url) + "/img/p/" + p.auction_id + ".jpg";
    // Record layout: "groupId":null opens a record and "shopKeeper" closes it; "zkPrice" and
    // "biz30day" are followed by a comma, and the seller number sits in the last address.
    pagelist.push_back(Json{{"groupId", nullptr},
                            {"auctionId", p.auction_id},
                            {"title", hit.highlighted_title},
                            {"nick", shop.nick},
                            {"userType", 0},
                            {"pictUrl", PercentEncode(picture)},
                            {"reservePrice", Yuan(p.reserve_price_fen)},
                            {"zkPrice", Yuan(p.price_fen)},
                            {"tkRate", static_cast<double>(p.commission_bp) / 100.0},
                            {"tkCommFee", Yuan(p.price_fen * p.commission_bp / 10000)},
                            {"biz30day", p.biz30day},
                            {"totalNum", p.total_num},
                            {"totalFee", Yuan(p.total_fee_fen)},
                            {"auctionUrl", std::string(base_url) + "/item.htm?id=" + p.auction_id},
                            {"shopUrl", ShopUrl(base_url, shop)},
                            {"shopKeeper", nullptr},
                            {"rootCategory", Catalogue::CategoryName(p.category)}});
  }
  Json head{{"version", "1.0"},          {"status", "OK"},
            {"page", query.page},        {"pagesize", query.page_size},
            {"docsfound", result.found}, {"q", query.q}};
  return Dump(Json{{"data", Json{{"head", head}, {"pagelist", pagelist}}}, {"info", OkInfo()}});
}

std::string CreditPictureName(int level) {
  static constexpr const char* kKinds[] = {"red", "blue", "cap", "crown"};
  int kind = (level - 1) / 5;
  if (kind < 0) kind = 0;
  if (kind > 3) kind = 3;
  return std::string("s_") + kKinds[kind] + "_" + std::to_string((level - 1) % 5 + 1) + ".gif";
}

std::string PromotionInfoReply(const Shop& shop, std::string_view base_url) {
  const std::string small =
      std::string(base_url) + "/img/level/" + CreditPictureName(shop.credit_level);
  const std::string big =
      std::string(base_url) + "/img/level/b" + CreditPictureName(shop.credit_level).substr(1);
  Json data{{"oriMemberId", shop.user_number_id},
            {"sellerNick", PercentEncode(shop.nick)},
            {"SellLevelPicture", Json::array({PercentEncode(small), PercentEncode(big)})},
            {"sellerLevel", shop.credit_level},
            {"shopUrl", PercentEncode(ShopUrl(base_url, shop))}};
  return Dump(Json{{"data", data}, {"info", OkInfo()}});
}

std::string ShopCodeReply(const Shop& shop, std::string_view pid, std::string_view base_url) {
  const std::string click = std::string(base_url) +
                            "/shop/click.htm?user_number_id=" + shop.user_number_id +
                            "&pid=" + std::string(pid);
  Json data{{"clickUrl", click}, {"shopTitle", shop.nick}, {"pid", pid}};
  return Dump(Json{{"data", data}, {"info", OkInfo()}});
}

std::string ItemCodeReply(const Product& product, std::string_view pid, std::string_view base_url) {
  // The link's "e" value carries percent escapes, as real promotion links do; the client keeps
  // this reply undecoded, so they reach the page as they are.
  const std::string e = "Wx/" + product.auction_id + "+" + std::string(pid) + "==";
  const std::string click = std::string(base_url) + "/click.htm?e=" + PercentEncode(e) +
                            "&pid=" + std::string(pid) + "&id=" + product.auction_id;
  Json data{{"eliteUrl", click},
            {"shortLinkUrl", std::string(base_url) + "/click.htm?id=" + product.auction_id},
            {"couponLink", ""},
            {"pid", pid}};
  return Dump(Json{{"data", data}, {"info", OkInfo()}});
}

std::string NeteaseShortReply(std::string_view short_value, std::string_view long_url) {
  Json url{{"url", short_value}, {"long_url", long_url}};
  Json reply{
      {"status_code", 200}, {"status_txt", "OK"}, {"data", Json{{"urls", Json::array({url})}}}};
  return EscapeSlashes(Dump(reply));
}

std::string NeteaseShortError(std::string_view message) {
  return EscapeSlashes(
      Dump(Json{{"status_code", 500}, {"status_txt", message}, {"data", nullptr}}));
}

std::string BaiduShortReply(std::string_view tinyurl, std::string_view long_url) {
  return EscapeSlashes(
      Dump(Json{{"tinyurl", tinyurl}, {"status", 0}, {"longurl", long_url}, {"err_msg", ""}}));
}

std::string BaiduShortError(std::string_view message) {
  return EscapeSlashes(Dump(Json{{"status", -1}, {"err_msg", message}}));
}

}  // namespace pagoling::sim
