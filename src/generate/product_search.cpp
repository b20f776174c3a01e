#include "generate/product_search.h"

#include "net/encoding.h"
#include "net/http_request.h"
#include "net/text_between.h"
#include "ui/control_names.h"

namespace pagoling::generate {

std::vector<std::string> SplitParts(const std::string& text, std::string_view separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = text.find(separator, begin);
    if (end == std::string::npos) {
      if (begin < text.size()) parts.push_back(text.substr(begin));
      return parts;
    }
    parts.push_back(text.substr(begin, end - begin));
    begin = end + separator.size();
  }
}

PubContext FetchPubContext(ui::MainWindow& window, const net::Endpoints& endpoints) {
  PubContext context;
  const std::vector<std::string> parts = SplitParts(window.Text("mm号编辑框"), "_");
  if (parts.size() != 4) return context;
  context.site_id = parts[2];
  context.adzone_id = parts[3];
  const std::string reply = net::HttpRequest("http://" + endpoints.publisher_host +
                                             "/common/getUnionPubContextInfo.json");
  context.tb_token = net::TextBetween(net::UrlDecode(reply), "tb_token_\":\"", "\"");
  return context;
}

std::optional<std::string> SearchAddress(ui::MainWindow& window, const net::Endpoints& endpoints,
                                         const std::string& keyword, const std::string& tb_token) {
  static const char* const kSortTails[] = {
      "&startRatesum=&loc=&sort=_totalnum&perPagesize=40&_tb_token_=",
      "&toPage=1&sort=_commrate&perPagesize=40&_tb_token_=",
      "&toPage=1&sort=_totalfee&perPagesize=40&_tb_token_=",
  };
  const int sort_order = window.SelectedIndex(ui::kSortOrderBox);
  if (sort_order < 0 || sort_order > 2) return std::nullopt;
  // Filters go out as typed: the platform has always received them unencoded.
  return "http://" + endpoints.publisher_host +
         "/pubauc/searchAuctionList.json?spm=0.0.0.0.AM7g9M&q=" +
         net::UrlEncode(keyword, true, true) +
         "&toPage=1&startCommrate=" + window.Text("佣金比例编辑框") +
         "&startTotalnum=" + window.Text("推广前") + "&endTotalnum=" + window.Text("推广后") +
         "&startPrice=" + window.Text("价格前") + "&endPrice=" + window.Text("价格后") +
         kSortTails[sort_order] + tb_token;
}

std::optional<std::string> SearchProducts(ui::MainWindow& window, const net::Endpoints& endpoints,
                                          const std::string& keyword, const std::string& tb_token) {
  const std::optional<std::string> address = SearchAddress(window, endpoints, keyword, tb_token);
  if (!address) return std::nullopt;
  return net::UrlDecode(net::HttpRequest(*address), true);
}

}  // namespace pagoling::generate
