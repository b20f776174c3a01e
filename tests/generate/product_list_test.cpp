#include "generate/product_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/text_files.h"
#include "ui/headless_host.h"

namespace pagoling::generate {
namespace {

using testing::Gbk;

using ::testing::ElementsAre;

// One product record as the search reply carries it after decoding.
std::string Record(const std::string& id, const std::string& title, const std::string& tail = "") {
  return "{\"groupId\":null,\"auctionId\":\"" + id + "\",\"title\":\"" + title +
         "\",\"nick\":\"seller" + id + "\",\"pictUrl\":\"http://img.test/" + id +
         ".jpg\",\"zkPrice\":12.5,\"biz30day\":300,\"url\":\"http://shop.test/?user_number_id=" +
         id + "9\"" + tail + ",\"shopKeeper\":false}";
}

class ExtractProductsTest : public ::testing::Test {
 protected:
  std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < 10; ++column) {
      cells.push_back(platform::Utf8FromGbk(window_.Cell("超级列表框1", row, column)));
    }
    return cells;
  }

  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
  platform::RecordingPacer pacer_;
};

TEST_F(ExtractProductsTest, FillsSevenColumnsAndRestsOnce) {
  ExtractProducts(window_, pacer_,
                  "[" + Record("11", Gbk("红色<span class=\\\"H\\\">连衣裙</span>夏")) + "]",
                  Gbk("9.9"));
  ASSERT_EQ(window_.RowCount("超级列表框1"), 1);
  EXPECT_THAT(Row(0), ElementsAre("11", "红色连衣裙夏", "seller11", "119", "", "",
                                  "http://img.test/11.jpg", "12.5", "300", "9.9"));
  EXPECT_THAT(pacer_.Pauses(), ElementsAre(200));
}

TEST_F(ExtractProductsTest, DuplicateIdsIgnoringCaseKeepTheFirst) {
  ExtractProducts(window_, pacer_,
                  Record("ab1", "first") + Record("AB1", "second") + Record("c2", "third"), "");
  ASSERT_EQ(window_.RowCount("超级列表框1"), 2);
  EXPECT_EQ(window_.Cell("超级列表框1", 0, 1), "first");
  EXPECT_EQ(window_.Cell("超级列表框1", 1, 1), "third");
}

TEST_F(ExtractProductsTest, PriceAsLastFieldRunsToTheNextComma) {
  ExtractProducts(window_, pacer_,
                  "{\"groupId\":null,\"auctionId\":\"1\",\"obj\":{\"zkPrice\":8.8},\"biz30day\":5,"
                  "\"shopKeeper\":1}",
                  "");
  EXPECT_EQ(window_.Cell("超级列表框1", 0, 7), "8.8}");
}

TEST_F(ExtractProductsTest, UpperCaseRecordMarkerStillCuts) {
  ExtractProducts(window_, pacer_, "{\"GROUPID\":NULL,\"auctionId\":\"7\",\"SHOPKEEPER\":1}", "");
  ASSERT_EQ(window_.RowCount("超级列表框1"), 1);
  EXPECT_EQ(window_.Cell("超级列表框1", 0, 0), "7");
}

TEST_F(ExtractProductsTest, MissingFieldsGiveEmptyCellsAndASecondIdlessRecordIsADuplicate) {
  ExtractProducts(window_, pacer_,
                  "\"groupId\":null,\"title\":\"a\",\"shopKeeper\""
                  "\"groupId\":null,\"title\":\"b\",\"shopKeeper\"",
                  "");
  ASSERT_EQ(window_.RowCount("超级列表框1"), 1);
  EXPECT_THAT(Row(0), ElementsAre("", "a", "", "", "", "", "", "", "", ""));
}

TEST_F(ExtractProductsTest, AnEmptyStretchEndsTheScan) {
  ExtractProducts(window_, pacer_,
                  Record("1", "a") + "\"groupId\":null  shopKeeper" + Record("2", "b"), "");
  EXPECT_EQ(window_.RowCount("超级列表框1"), 1);
}

TEST_F(ExtractProductsTest, NeverWritesShopColumnsAndKeepsEarlierRows) {
  ExtractProducts(window_, pacer_, Record("1", "a", ",\"clickUrl\":\"x\""), "P1");
  ExtractProducts(window_, pacer_, Record("2", "b"), "P2");
  EXPECT_EQ(window_.Cell("超级列表框1", 0, 4), "");
  EXPECT_EQ(window_.Cell("超级列表框1", 0, 9), "P1");
  EXPECT_EQ(window_.Cell("超级列表框1", 1, 9), "P2");
}

TEST(CollectSegments, TrimsAsciiAndFullWidthSpaces) {
  const std::string full_width_space = "\xA1\xA1";
  EXPECT_THAT(CollectSegments("<a> x " + full_width_space + "</a><a>y</a>", "<A>", "</A>"),
              ElementsAre("x", "y"));
}

}  // namespace
}  // namespace pagoling::generate
