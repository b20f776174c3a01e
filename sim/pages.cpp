#include "sim/pages.h"

#include <array>
#include <cstdio>

namespace pagoling::sim {
namespace {

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=gbk\">\n";

std::string Document(std::string_view title, std::string_view body) {
  std::string out(kHead);
  out += "<title>" + HtmlEscape(title) + "</title>\n</head>\n<body>\n";
  out += body;
  out += "\n</body>\n</html>\n";
  return out;
}

std::string YuanText(std::int64_t fen) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%lld.%02lld", static_cast<long long>(fen / 100),
                static_cast<long long>(fen % 100));
  return buffer;
}

std::string PictureUrl(std::string_view base_url, const Product& product) {
  return std::string(base_url) + "/img/p/" + product.auction_id + ".jpg";
}

constexpr std::array<std::string_view, 14> kColours{
    "#e57373", "#64b5f6", "#81c784", "#a1887f", "#f06292", "#9575cd", "#4db6ac",
    "#ff8a65", "#ffd54f", "#90a4ae", "#ba68c8", "#7986cb", "#4dd0e1", "#aed581"};

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string LoginPage(std::string_view heading, std::string_view form_path,
                      std::string_view redirect, std::string_view error) {
  std::string body = "<h1>" + HtmlEscape(heading) + "</h1>\n";
  body +=
      "<p class=\"note\">沙盒平台：任意非空的账号和密码都能登录（sandbox: any non-empty user "
      "name and password are accepted).</p>\n";
  if (!error.empty()) body += "<p class=\"error\">" + HtmlEscape(error) + "</p>\n";
  body += "<form method=\"post\" action=\"" + HtmlEscape(form_path) + "\">\n";
  body += "<label>账户名：<input type=\"text\" name=\"user\"></label><br>\n";
  body += "<label>密码：<input type=\"password\" name=\"password\"></label><br>\n";
  body += "<input type=\"hidden\" name=\"redirect\" value=\"" + HtmlEscape(redirect) + "\">\n";
  body += "<input type=\"submit\" value=\"登录\">\n</form>";
  return Document(heading, body);
}

std::string MemberPage(std::string_view user) {
  std::string body = "<h1>会员中心</h1>\n";
  if (user.empty()) {
    body +=
        "<p>您尚未登录。<a href=\"/member/minilogin.htm?redirect=%2Fmembersvc%2Findex.htm\">"
        "请登录</a></p>";
  } else {
    body += "<p>欢迎您，" + HtmlEscape(user) +
            "！ <a href=\"/member/logout.htm\">退出</a></p>\n"
            "<ul><li><a href=\"/index.htm\">推广首页</a></li>"
            "<li><a href=\"/collect/index.htm\">采集来源页</a></li></ul>";
  }
  return Document("会员中心", body);
}

std::string AdHomePage(std::string_view user) {
  std::string body = "<h1>推广首页</h1>\n";
  if (user.empty()) {
    body += "<p><a href=\"/member/minilogin.htm?redirect=%2Findex.htm\">登录</a></p>";
  } else {
    body += "<p>" + HtmlEscape(user) +
            " <a href=\"/membersvc/index.htm\">会员中心</a> <a href=\"/member/logout.htm\">退出</a>"
            "</p>";
  }
  return Document("推广首页", body);
}

std::string MarketLandingPage(std::string_view login_path) {
  return Document("推广者登录",
                  "<p>尚未登录。<a href=\"" + HtmlEscape(login_path) + "\">请先登录</a></p>");
}

std::string ProxyPage() {
  return Document("proxy", "<script>/* login proxy: nothing to relay in the sandbox */</script>");
}

std::string ErrorPage() {
  return Document("502 Bad Gateway", "<h1>502 Bad Gateway</h1>\n<p>服务器繁忙，请稍后再试。</p>");
}

std::string NotFoundPage(std::string_view path) {
  return Document("404 Not Found",
                  "<h1>404 Not Found</h1>\n<p>" + HtmlEscape(path) + " 不存在。</p>");
}

std::string IndexPage(std::string_view base_url, const std::vector<std::string>& source_paths) {
  std::string body = "<h1>pagoling-sim</h1>\n<p>沙盒平台 " + HtmlEscape(base_url) + "</p>\n<ul>\n";
  body += "<li><a href=\"/member/minilogin.htm?redirect=%2Fmembersvc%2Findex.htm\">登录</a></li>\n";
  body += "<li><a href=\"/membersvc/index.htm\">会员中心</a></li>\n";
  body += "<li><a href=\"/index.htm\">推广首页</a></li>\n";
  body += "<li><a href=\"/collect/index.htm\">采集来源页</a> (" +
          std::to_string(source_paths.size()) + ")</li>\n</ul>";
  return Document("pagoling-sim", body);
}

std::string SpecialPrice(const Product& product) {
  return YuanText(product.price_fen * 85 / 100 / 10 * 10);
}

std::string SourcePage(const Catalogue& catalogue, std::string_view heading,
                       const std::vector<const Product*>& products, std::string_view base_url) {
  std::string body = "<h1>" + HtmlEscape(heading) + "</h1>\n<ul class=\"items\">\n";
  for (const Product* p : products) {
    const std::string link = std::string(base_url) + "/item.htm?id=" + p->auction_id;
    body += std::string(kSourceBlockStart) + "\n";
    body += "<a href=\"" + link + "\" target=\"_blank\"><img src=\"" + PictureUrl(base_url, *p) +
            "_320x320.jpg\" alt=\"\"></a>\n";
    body += "<p class=\"title\"><a href=\"" + link + "\">" + HtmlEscape(p->title) + "</a></p>\n";
    body += "<p>" + HtmlEscape(catalogue.ShopOf(*p).nick) + "</p>\n";
    body += "<p>原价：<del>" + YuanText(p->price_fen) + "</del> 特价：" +
            std::string(kSourcePriceStart) + SpecialPrice(*p) + std::string(kSourcePriceEnd) +
            "元</p>\n";
    body += std::string(kSourceBlockEnd) + "\n";
  }
  body += "</ul>";
  return Document(heading, body);
}

std::string SourceIndexPage(const std::vector<std::string>& source_paths) {
  std::string body = "<h1>采集来源页</h1>\n<p>采集规则：单个前 <code>" +
                     HtmlEscape(kSourceBlockStart) + "</code>，单个后 <code>" +
                     HtmlEscape(kSourceBlockEnd) + "</code>，特价前 <code>" +
                     HtmlEscape(kSourcePriceStart) + "</code>，特价后 <code>" +
                     HtmlEscape(kSourcePriceEnd) + "</code></p>\n<ul>\n";
  for (const std::string& path : source_paths) {
    body += "<li><a href=\"" + path + "\">" + path + "</a></li>\n";
  }
  body += "</ul>";
  return Document("采集来源页", body);
}

std::string ItemPage(const Catalogue& catalogue, const Product& product,
                     std::string_view base_url) {
  const Shop& shop = catalogue.ShopOf(product);
  std::string body = "<h1>" + HtmlEscape(product.title) + "</h1>\n";
  body += "<img src=\"" + PictureUrl(base_url, product) + "_320x320.jpg\" alt=\"\">\n";
  body += "<p>价格：" + YuanText(product.price_fen) + "元 月销量：" +
          std::to_string(product.biz30day) + "</p>\n";
  body += "<p>店铺：<a href=\"/shop.htm?user_number_id=" + shop.user_number_id + "\">" +
          HtmlEscape(shop.nick) + "</a></p>";
  return Document(product.title, body);
}

std::string ShopPage(const Catalogue& catalogue, const Shop& shop, std::string_view base_url) {
  std::string body = "<h1>" + HtmlEscape(shop.nick) + "</h1>\n<ul>\n";
  int shown = 0;
  for (const Product& p : catalogue.Products()) {
    if (&catalogue.ShopOf(p) != &shop) continue;
    body += "<li><a href=\"" + std::string(base_url) + "/item.htm?id=" + p.auction_id + "\">" +
            HtmlEscape(p.title) + "</a></li>\n";
    if (++shown == 20) break;
  }
  body += "</ul>";
  return Document(shop.nick, body);
}

std::string ProductPicture(const Product* product) {
  std::string_view colour = "#cccccc";
  std::string label = "?";
  if (product != nullptr) {
    colour = kColours[static_cast<std::size_t>(product->category) % kColours.size()];
    label = std::string(Catalogue::CategoryName(product->category));
  }
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"320\" height=\"320\">"
         "<rect width=\"320\" height=\"320\" fill=\"" +
         std::string(colour) +
         "\"/><text x=\"160\" y=\"175\" font-size=\"48\" text-anchor=\"middle\" fill=\"#fff\">" +
         HtmlEscape(label) + "</text></svg>";
}

std::string CreditPicture(std::string_view name) {
  std::string_view colour = "#e53935";
  if (name.find("blue") != std::string_view::npos) colour = "#1e88e5";
  if (name.find("cap") != std::string_view::npos) colour = "#fbc02d";
  if (name.find("crown") != std::string_view::npos) colour = "#ff8f00";
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\">"
         "<circle cx=\"8\" cy=\"8\" r=\"7\" fill=\"" +
         std::string(colour) + "\"/></svg>";
}

}  // namespace pagoling::sim
