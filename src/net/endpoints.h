#pragma once

#include <string>
#include <string_view>

namespace pagoling::net {

// Where the outside services live. Hosts may carry ":port"; the two page addresses are whole. A
// run directory's Config.ini can point them elsewhere (section "endpoints", keys named as the
// fields' names below), which is how the sandbox platform stands in for the real one.
struct Endpoints {
  std::string publisher_host = "pub.alimama.com";         // PublisherHost
  std::string member_host = "www.alimama.com";            // MemberHost
  std::string affiliate_login_host = "www.alimama.com";   // AffiliateLoginHost
  std::string ad_home_host = "ad.alimama.com";            // AdHomeHost
  std::string market_login_host = "login.taobao.com";     // MarketLoginHost
  std::string baidu_short_host = "dwz.cn";                // BaiduShortHost
  std::string netease_short_host = "126.am";              // NeteaseShortHost
  std::string help_page_url;                              // HelpPageUrl; empty: the shipped page
  std::string home_page_url = "http://www.alimama.com/";  // HomePageUrl
};

inline constexpr const char* kEndpointsSection = "endpoints";

// Reads section "endpoints" of an INI file (GBK path); a missing key keeps the real platform's
// value.
Endpoints LoadEndpoints(std::string_view gbk_config_path);

}  // namespace pagoling::net
