#pragma once

#include <string>
#include <string_view>

// Collection rules: which page to scrape and the four pieces of HTML around each product block and
// its special price. One GBK text file per rule in the rule folder.
namespace pagoling::collect {

struct CollectionRule {
  std::string name;  // the file's name without ".txt"
  std::string source_address;
  std::string item_start_code;
  std::string item_end_code;
  std::string price_start_code;
  std::string price_end_code;
};

// Run directory + "\\采集规则\\"; the folder is never created by the program.
std::string RuleFolder();
// RuleFolder() + name + ".txt".
std::string RuleFilePath(const std::string& name);

// Whether a rule may be saved under this name: a plain file name that stays inside the rule folder
// and is listed afterwards (not empty, not beginning with ".", no "/", "\\", ":" or NUL).
bool IsRuleName(std::string_view gbk_name);

// The file's text: five tagged sections joined by CR LF, nothing after the last. The name is not
// part of it.
std::string FormatRuleFile(const CollectionRule& rule);
// Each field is the text between its tags (first start tag, first end tag after it), so the order
// of the sections and the line breaks between them do not matter; a missing tag gives an empty
// field. The name is left empty.
CollectionRule ParseRuleFile(std::string_view text);

}  // namespace pagoling::collect
