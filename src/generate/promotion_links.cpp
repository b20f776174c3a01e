#include "generate/promotion_links.h"

#include "generate/product_count.h"
#include "net/encoding.h"
#include "net/http_request.h"
#include "net/text_between.h"
#include "platform/cancel.h"
#include "platform/codepage.h"
#include "ui/control_names.h"

namespace pagoling::generate {

using namespace pagoling::literals;

namespace {

using ui::kProductTable;
using ui::kPromotionLinkTable;
using ui::kRunLog;

// The walk stops after the row whose number equals the count; a count of 0, a negative or a
// fractional one never equals a row number, so every row is processed.
bool IsLastCountedRow(ui::MainWindow& window, int row_number) {
  return ProductCountValue(window.Text(ui::kProductCountBox)) == static_cast<double>(row_number);
}

}  // namespace

bool PacingWait(platform::Pacer& pacer, long long amount, PacingUnit unit) {
  static constexpr long long kFactors[] = {1, 1000, 60000, 3600000};
  pacer.Pause(std::chrono::milliseconds(amount * kFactors[static_cast<int>(unit)]));
  return true;
}

void FetchItemLinks(ui::MainWindow& window, platform::Pacer& pacer, const net::Endpoints& endpoints,
                    const PubContext& context) {
  const int rows = window.RowCount(kProductTable);
  for (int number = 1; number <= rows; ++number) {
    const std::string id = window.Cell(kProductTable, number - 1, 0);
    const std::string title = window.Cell(kProductTable, number - 1, 1);
    const bool log = window.Checked(ui::kCustomCollection) == 0;
    if (log) window.AppendText(kRunLog, "开始搜寻"_gbk + title + "的信息\r\n"_gbk);
    const std::string reply = net::HttpRequest(
        "http://" + endpoints.publisher_host + "/common/code/getAuctionCode.json?auctionid=" + id +
        "&adzoneid=" + context.adzone_id + "&siteid=" + context.site_id +
        "&_tb_token_=" + context.tb_token);
    platform::CheckThreadToken();  // messages are dispatched here on a desktop with a queue
    PacingWait(pacer, 1000, PacingUnit::kMilliseconds);
    const std::string link = net::TextBetween(reply, "eliteUrl\":\"", "\",");
    const int link_row = window.InsertRow(kPromotionLinkTable);
    window.SetCell(kPromotionLinkTable, link_row, 0, link);
    window.SetCell(kPromotionLinkTable, link_row, 1, title);
    if (window.Checked(ui::kCustomCollection) == 0) {
      window.AppendText(kRunLog, "搜寻"_gbk + title + "完毕\r\n"_gbk);
    }
    if (IsLastCountedRow(window, number)) break;
  }
}

void FetchShopInfo(ui::MainWindow& window, platform::Pacer& pacer, const net::Endpoints& endpoints,
                   const PubContext& context) {
  const int rows = window.RowCount(kProductTable);
  for (int number = 1; number <= rows; ++number) {
    const std::string seller = window.Cell(kProductTable, number - 1, 3);
    const std::string info =
        net::UrlDecode(net::HttpRequest("http://" + endpoints.publisher_host +
                                        "/pubauc/searchPromotionInfo.json?oriMemberid=" + seller +
                                        "&_tb_token_=" + context.tb_token),
                       true);
    PacingWait(pacer, 1000, PacingUnit::kMilliseconds);
    const std::string picture = net::TextBetween(info, "SellLevelPicture\":[\"", "\"");
    const std::string shop = net::UrlDecode(
        net::HttpRequest("http://" + endpoints.publisher_host +
                         "/common/code/getShopCode.json?orimemberid=" + seller +
                         "&adzoneid=" + context.adzone_id + "&siteid=" + context.site_id +
                         "&_tb_token_=" + context.tb_token),
        true);
    const std::string shop_link = net::TextBetween(shop, "clickUrl\":\"", "\"");
    window.SetCell(kProductTable, number - 1, 4, shop_link);
    window.SetCell(kProductTable, number - 1, 5, picture);
    if (IsLastCountedRow(window, number)) break;
  }
}

}  // namespace pagoling::generate
