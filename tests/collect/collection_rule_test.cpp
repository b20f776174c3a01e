#include "collect/collection_rule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "sim/pages.h"
#include "support/text_files.h"

namespace pagoling {
namespace {

using testing::Gbk;

using collect::CollectionRule;

CollectionRule SampleRule() {
  CollectionRule rule;
  rule.source_address = "http://example.com/list.htm?cat=1&p=2";
  rule.item_start_code = Gbk("<div class=\"item\">\r\n  <span>女装</span>");
  rule.item_end_code = "</div>";
  rule.price_start_code = Gbk("特价：<b>");
  rule.price_end_code = "</b>";
  return rule;
}

TEST(CollectionRuleTest, FileHoldsTheFiveTaggedSectionsAndReadsBackByteForByte) {
  const CollectionRule rule = SampleRule();
  const std::string text = collect::FormatRuleFile(rule);
  EXPECT_EQ(text, Gbk("[采集网址开始]http://example.com/list.htm?cat=1&p=2[采集网址结束]\r\n"
                      "[商品前开始]<div class=\"item\">\r\n  <span>女装</span>[商品前结束]\r\n"
                      "[商品后开始]</div>[商品后结束]\r\n"
                      "[特价前开始]特价：<b>[特价前结束]\r\n"
                      "[特价后开始]</b>[特价后结束]"));

  const CollectionRule back = collect::ParseRuleFile(text);
  EXPECT_EQ(back.source_address, rule.source_address);
  EXPECT_EQ(back.item_start_code, rule.item_start_code);
  EXPECT_EQ(back.item_end_code, rule.item_end_code);
  EXPECT_EQ(back.price_start_code, rule.price_start_code);
  EXPECT_EQ(back.price_end_code, rule.price_end_code);
}

TEST(CollectionRuleTest, ReadingIgnoresOrderAndLineBreaksAndEmptiesWhatIsMissing) {
  // Sections swapped, no line breaks, the item-end section lost, a price code holding its own end
  // tag, which cuts it short.
  const CollectionRule rule = collect::ParseRuleFile(
      Gbk("junk[特价后开始]</b>[特价后结束][采集网址开始]http://a/[采集网址结束]"
          "[商品前开始]<li>[商品前结束][特价前开始]<b>[特价前结束]x[特价前结束]"));
  EXPECT_EQ(rule.source_address, "http://a/");
  EXPECT_EQ(rule.item_start_code, "<li>");
  EXPECT_EQ(rule.item_end_code, "");
  EXPECT_EQ(rule.price_start_code, "<b>");
  EXPECT_EQ(rule.price_end_code, "</b>");

  const CollectionRule empty = collect::ParseRuleFile("");
  EXPECT_EQ(
      collect::FormatRuleFile(empty),
      Gbk("[采集网址开始][采集网址结束]\r\n[商品前开始][商品前结束]\r\n[商品后开始][商品后结束]"
          "\r\n[特价前开始][特价前结束]\r\n[特价后开始][特价后结束]"));
}

struct NameCase {
  const char* label;
  const char* utf8_name;
  bool accepted;
};

class RuleNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RuleNameTest, OnlyNamesThatStayListedInTheRuleFolder) {
  EXPECT_EQ(collect::IsRuleName(Gbk(GetParam().utf8_name)), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RuleNameTest,
    ::testing::Values(NameCase{"chinese", "女装热销", true}, NameCase{"inner_dot", "v1.2", true},
                      NameCase{"spaces_inside", "a b", true}, NameCase{"empty", "", false},
                      NameCase{"parent", "..", false}, NameCase{"dots_and_spaces", ". .", false},
                      NameCase{"leading_dot", ".hidden", false},
                      NameCase{"slash", "a/../../x", false}, NameCase{"backslash", "a\\b", false},
                      NameCase{"absolute", "/etc/passwd", false},
                      NameCase{"drive", "C:rule", false}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CollectionRuleTest, ShippedSampleRuleMatchesTheSandboxSourcePages) {
  std::ifstream in(std::string(PAGOLING_DATA_DIR) + "/采集规则/沙盒热销榜.txt", std::ios::binary);
  ASSERT_TRUE(in);
  const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const CollectionRule rule = collect::ParseRuleFile(Gbk(utf8));
  EXPECT_EQ(rule.source_address, "http://127.0.0.1:8800/collect/list1.htm");
  EXPECT_EQ(rule.item_start_code, sim::kSourceBlockStart);
  EXPECT_EQ(rule.item_end_code, sim::kSourceBlockEnd);
  EXPECT_EQ(rule.price_start_code, sim::kSourcePriceStart);
  EXPECT_EQ(rule.price_end_code, sim::kSourcePriceEnd);
  // Written exactly as the program writes rules: nothing after the last tag.
  EXPECT_TRUE(utf8.ends_with("[特价后结束]"));
}

}  // namespace
}  // namespace pagoling
