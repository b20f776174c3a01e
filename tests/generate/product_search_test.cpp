#include "generate/product_search.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "ui/headless_host.h"

namespace pagoling::generate {
namespace {

struct AddressCase {
  friend void PrintTo(const AddressCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  int sort_order;
  std::string keyword_utf8;
  std::vector<std::string> filters;  // 佣金比例编辑框, 推广前, 推广后, 价格前, 价格后
  std::string expected;
};

class SearchAddressTest : public ::testing::TestWithParam<AddressCase> {
 protected:
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
};

TEST_P(SearchAddressTest, BuiltByteForByte) {
  const AddressCase& c = GetParam();
  window_.SetSelectedIndex("组合框1", c.sort_order);
  const char* boxes[] = {"佣金比例编辑框", "推广前", "推广后", "价格前", "价格后"};
  for (std::size_t i = 0; i < c.filters.size(); ++i) window_.SetText(boxes[i], c.filters[i]);
  net::Endpoints endpoints;
  endpoints.publisher_host = "pub.test:8080";
  const auto address =
      SearchAddress(window_, endpoints, platform::GbkFromUtf8(c.keyword_utf8), "TOKEN");
  ASSERT_TRUE(address.has_value());
  EXPECT_EQ(*address, c.expected);
}

const std::string kPrefix =
    "http://pub.test:8080/pubauc/searchAuctionList.json?spm=0.0.0.0.AM7g9M&q=";

INSTANTIATE_TEST_SUITE_P(
    SortModesAndFilters, SearchAddressTest,
    ::testing::Values(
        AddressCase{"by_sales_no_filters",
                    0,
                    "连衣裙",
                    {},
                    kPrefix + "%E8%BF%9E%E8%A1%A3%E8%A3%99&toPage=1&startCommrate=&startTotalnum="
                              "&endTotalnum=&startPrice=&endPrice=&startRatesum=&loc="
                              "&sort=_totalnum&perPagesize=40&_tb_token_=TOKEN"},
        AddressCase{"by_commission_rate_repeats_to_page",
                    1,
                    "a b",
                    {"5", "10", "200", "9.9", "99"},
                    kPrefix + "a%20b&toPage=1&startCommrate=5&startTotalnum=10&endTotalnum=200"
                              "&startPrice=9.9&endPrice=99&toPage=1&sort=_commrate&perPagesize=40"
                              "&_tb_token_=TOKEN"},
        AddressCase{"by_total_fee_filters_unencoded",
                    2,
                    "x-1.y",
                    {"1&2", " ", "", "", "3"},
                    kPrefix + "x-1.y&toPage=1&startCommrate=1&2&startTotalnum= &endTotalnum="
                              "&startPrice=&endPrice=3&toPage=1&sort=_totalfee&perPagesize=40"
                              "&_tb_token_=TOKEN"}),
    [](const auto& row) { return row.param.name; });

TEST(SearchAddress, NoneWithoutASortOrder) {
  ui::HeadlessHost host;
  ui::MainWindow window(host);
  EXPECT_FALSE(SearchAddress(window, net::Endpoints{}, "a", "t").has_value());
  EXPECT_FALSE(SearchProducts(window, net::Endpoints{}, "a", "t").has_value());
}

struct PartsCase {
  friend void PrintTo(const PartsCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string text;
  std::vector<std::string> parts;
};

class SplitPartsTest : public ::testing::TestWithParam<PartsCase> {};

TEST_P(SplitPartsTest, SplitsAtUnderscore) {
  EXPECT_EQ(SplitParts(GetParam().text, "_"), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    MmNumbers, SplitPartsTest,
    ::testing::Values(PartsCase{"four_parts", "mm_1_2_3", {"mm", "1", "2", "3"}},
                      PartsCase{"trailing_separator_adds_none", "mm_1_2_3_", {"mm", "1", "2", "3"}},
                      PartsCase{"empty_parts_count", "mm__2_", {"mm", "", "2"}},
                      PartsCase{"empty_text", "", {}}),
    [](const auto& row) { return row.param.name; });

TEST(FetchPubContext, MalformedMmNumberGivesEmptyContextWithoutARequest) {
  ui::HeadlessHost host;
  ui::MainWindow window(host);
  net::Endpoints endpoints;
  endpoints.publisher_host = "127.0.0.1:1";  // nothing listens: a request would be visible as none
  for (const char* mm : {"mm_1_2", "mm_1_2_3_4", ""}) {
    window.SetText("mm号编辑框", mm);
    const PubContext context = FetchPubContext(window, endpoints);
    EXPECT_TRUE(context.site_id.empty() && context.adzone_id.empty() && context.tb_token.empty())
        << mm;
  }
}

}  // namespace
}  // namespace pagoling::generate
