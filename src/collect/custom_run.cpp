#include "collect/custom_run.h"

#include <cmath>

#include "collect/rule_controls.h"
#include "generate/product_count.h"
#include "net/encoding.h"
#include "net/http_request.h"
#include "net/text_between.h"
#include "platform/codepage.h"
#include "ui/control_names.h"
#include "ui/shell_handlers.h"

namespace pagoling::collect {

using namespace pagoling::literals;

namespace {

constexpr const char* kScrapedItemTable = "自定义超级列表框";
using ui::kProductCountBox;
using ui::kSuffixBox;
constexpr const char* kShopLinkLabel = "标签24";

}  // namespace

std::vector<int> FindBlockStarts(std::string_view page, std::string_view item_start_code) {
  std::vector<int> starts;
  // An empty code would be found at the same place forever.
  if (item_start_code.empty()) return starts;
  const int length = static_cast<int>(item_start_code.size());
  // The first search starts at the page's first byte, so a block that opens the page counts too.
  for (int at = net::FindText(page, item_start_code, 1); at > 0;
       at = net::FindText(page, item_start_code, at + length)) {
    starts.push_back(at);
  }
  return starts;
}

std::string LookupAddress(const net::Endpoints& endpoints, const std::string& link,
                          const std::string& tb_token) {
  return "http://" + endpoints.publisher_host +
         "/pubauc/searchAuctionList.json?spm=0.0.0.0.uJhRtA&q=" + net::UrlEncode(link, true, true) +
         "&toPage=1&sort=_totalnum&perPagesize=40&_tb_token_=" + tb_token;
}

void ScrapeSourcePage(generate::Generation& generation, const std::string& address) {
  ui::MainWindow& window = generation.Window();
  const std::string page = net::HttpRequest(address);
  generation.PumpMessages();
  generation.PumpingDelay(200);

  const std::string item_start = window.Text(kItemStart);
  const std::vector<int> starts = FindBlockStarts(page, item_start);
  window.DeleteAllRows(kScrapedItemTable);
  int k = 0;
  for (const int start : starts) {
    ++k;
    const std::string block = net::TextBetween(page, item_start, window.Text(kItemEnd), start);
    const std::string link = net::TextBetween(block, "<a href=\"", "\"");
    const std::string price =
        net::TextBetween(block, window.Text(kPriceStart), window.Text(kPriceEnd));
    const int row = window.InsertRow(kScrapedItemTable);
    window.SetCell(kScrapedItemTable, row, 0, link);
    window.SetCell(kScrapedItemTable, row, 1, price);
    // A count that is not a whole number of at least 1 never matches, and every block is taken.
    const double count = generate::ProductCountValue(window.Text(kProductCountBox));
    if (std::fabs(count - k) <= 1e-7) break;
  }
}

bool CollectSourceAddress(generate::Generation& generation, const net::Endpoints& endpoints,
                          const std::string& address) {
  ui::MainWindow& window = generation.Window();
  generate::RunSteps& steps = generation.Steps();
  const generate::PubContext context = steps.FetchPubContext();
  window.DeleteAllRows(ui::kProductTable);
  window.DeleteAllRows(ui::kPromotionLinkTable);
  window.AppendText(ui::kRunLog, "正在解析网址："_gbk + address + "\r\n");
  ScrapeSourcePage(generation, address);
  generation.PumpingDelay(300);
  generation.PumpMessages();

  // Only the first block is checked: a rule that finds no product link there is taken as wrong.
  const std::string first_link = window.Cell(kScrapedItemTable, 0, 0);
  if (first_link.find("http://") == std::string::npos &&
      first_link.find("id") == std::string::npos) {
    generation.RefuseRun("规则错误，可以找软件开发者重写规则。"_gbk);
  }

  const int rows = window.RowCount(kScrapedItemTable);
  for (int row = 0; row < rows; ++row) {
    const std::string link = window.Cell(kScrapedItemTable, row, 0);
    const std::string price = window.Cell(kScrapedItemTable, row, 1);
    window.AppendText(ui::kRunLog, "开始对商品网址："_gbk + link + "进行解析\r\n"_gbk);
    const std::string reply =
        net::UrlDecode(net::HttpRequest(LookupAddress(endpoints, link, context.tb_token)), true);
    generation.PumpingDelay(1000);
    generation.PumpMessages();
    steps.ExtractProducts(reply, price);
    generation.PumpMessages();
  }

  window.AppendText(ui::kRunLog, "采集完毕，正在封装数据……\r\n"_gbk);
  steps.FetchItemLinks(context);
  steps.LoadTemplate();
  // Only while the user keeps the template editor in front, as the label lives on that page.
  if (window.IsVisible(kShopLinkLabel)) steps.FetchShopInfo(context);
  generation.SetCurrentPageName(steps.AssemblePage(generation.CurrentPageName()));
  return true;
}

void CustomCollectionRun(generate::Generation& generation, const net::Endpoints& endpoints) {
  ui::MainWindow& window = generation.Window();
  ui::ShowRunLog(window);
  if (window.Text(kProductCountBox).empty()) {
    generation.RefuseRun("请输入生成宝贝的数量"_gbk);
  }
  const int addresses = window.RowCount(kAddressList);
  for (int i = 1; i <= addresses; ++i) {
    generation.SetCurrentPageName(window.Text(kRuleName) + "(" + std::to_string(i) + "）"_gbk);
    const std::string address = window.Cell(kAddressList, i - 1, 0);
    window.AppendText(ui::kRunLog, "\r\n开始采集网址："_gbk + address + "\r\n");
    if (!CollectSourceAddress(generation, endpoints, address)) return;
    // No line break: the next address's opening line begins with one.
    window.AppendText(ui::kRunLog, "生成网址\""_gbk + generation.CurrentPageName() + "." +
                                       window.Text(kSuffixBox) + "\"完毕"_gbk);
    generation.PumpMessages();
  }
}

}  // namespace pagoling::collect
