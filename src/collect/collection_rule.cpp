#include "collect/collection_rule.h"

#include "generate/page_assembly.h"
#include "net/text_between.h"
#include "platform/codepage.h"
#include "platform/run_directory.h"

namespace pagoling::collect {

using namespace pagoling::literals;

namespace {

struct Section {
  const char* start_tag;
  const char* end_tag;
  std::string CollectionRule::*field;
};

// In the order the file holds them.
const Section kSections[] = {
    {"[采集网址开始]", "[采集网址结束]", &CollectionRule::source_address},
    {"[商品前开始]", "[商品前结束]", &CollectionRule::item_start_code},
    {"[商品后开始]", "[商品后结束]", &CollectionRule::item_end_code},
    {"[特价前开始]", "[特价前结束]", &CollectionRule::price_start_code},
    {"[特价后开始]", "[特价后结束]", &CollectionRule::price_end_code},
};

}  // namespace

std::string RuleFolder() { return platform::RunDirectory() + "\\采集规则\\"_gbk; }

std::string RuleFilePath(const std::string& name) { return RuleFolder() + name + ".txt"; }

bool IsRuleName(std::string_view gbk_name) {
  // A name beginning with "." would be saved but never listed again.
  return generate::IsPlainName(gbk_name) && gbk_name.front() != '.';
}

std::string FormatRuleFile(const CollectionRule& rule) {
  std::string text;
  for (const Section& section : kSections) {
    if (!text.empty()) text += "\r\n";
    text += platform::GbkFromUtf8(section.start_tag) + rule.*section.field +
            platform::GbkFromUtf8(section.end_tag);
  }
  return text;
}

CollectionRule ParseRuleFile(std::string_view text) {
  CollectionRule rule;
  for (const Section& section : kSections) {
    rule.*section.field = net::TextBetween(text, platform::GbkFromUtf8(section.start_tag),
                                           platform::GbkFromUtf8(section.end_tag));
  }
  return rule;
}

}  // namespace pagoling::collect
