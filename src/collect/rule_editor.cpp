#include "collect/rule_editor.h"

#include <string>

#include "collect/collection_rule.h"
#include "collect/rule_controls.h"
#include "generate/page_assembly.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "ui/control_names.h"
#include "ui/shell_handlers.h"

namespace pagoling::collect {

using namespace pagoling::literals;

namespace {

using ui::kCustomCollection;
constexpr const char* kRuleList = "资源组合框1";
constexpr const char* kAddressBox = "网址编辑框";

void AppendAddress(ui::MainWindow& window, const std::string& address) {
  const int row = window.InsertRow(kAddressList);
  window.SetCell(kAddressList, row, 0, address);
}

std::string WithoutTxt(std::string name) {
  const std::string txt = ".txt";
  for (auto at = name.find(txt); at != std::string::npos; at = name.find(txt, at)) {
    name.erase(at, txt.size());
  }
  return name;
}

}  // namespace

void ListRules(ui::MainWindow& window) {
  if (window.Checked(kCustomCollection) == 1) return;
  window.SetCurrentPage(ui::kSwitchingPane, ui::kRuleEditorPage);
  window.ClearItems(kRuleList);
  window.AddItem(kRuleList, "请选择要采集的资源"_gbk);
  for (const platform::FolderEntry& entry : platform::ListFolder(RuleFolder() + "*.txt")) {
    if (!entry.is_regular_file || entry.name.empty() || entry.name.front() == '.') continue;
    window.AddItem(kRuleList, WithoutTxt(entry.name));
  }
  window.SetSelectedIndex(kRuleList, 0);
}

void OnCustomCollectionClicked(ui::MainWindow& window) {
  window.SetCurrentPage(ui::kSwitchingPane, ui::kRuleEditorPage);
  if (window.Checked(kCustomCollection) == 0) ListRules(window);
}

void LoadRule(ui::MainWindow& window) {
  const int index = window.SelectedIndex(kRuleList);
  window.SetText(kRuleName, index < 0 ? std::string() : window.ItemText(kRuleList, index));
  const std::string name = window.Text(kRuleName);
  // Listed names cannot leave the folder, but the box may hold anything by now.
  std::string content;
  if (generate::IsPlainName(name)) {
    content = platform::ReadWholeFile(RuleFilePath(name)).value_or(std::string());
  }
  const CollectionRule rule = ParseRuleFile(content);
  AppendAddress(window, rule.source_address);
  window.SetText(kItemStart, rule.item_start_code);
  window.SetText(kItemEnd, rule.item_end_code);
  window.SetText(kPriceStart, rule.price_start_code);
  window.SetText(kPriceEnd, rule.price_end_code);
}

void AddRuleAddress(ui::MainWindow& window) { AppendAddress(window, window.Text(kAddressBox)); }

void DeleteRuleAddress(ui::MainWindow& window) {
  const int row = window.CurrentRow(kAddressList);
  if (row >= 0) window.DeleteRow(kAddressList, row);
}

void PickRuleAddress(ui::MainWindow& window) {
  const int row = window.CurrentRow(kAddressList);
  window.SetText(kAddressBox, row < 0 ? std::string() : window.Cell(kAddressList, row, 0));
}

bool SaveRule(ui::MainWindow& window) {
  CollectionRule rule;
  rule.name = window.Text(kRuleName);
  if (!IsRuleName(rule.name)) {
    window.MessageBox("规则名称不能为空，不能以点开头，也不能含有“/”“\\”“:”，请换一个名称"_gbk);
    return false;
  }
  const std::string path = RuleFilePath(rule.name);
  if (platform::FileExists(path)) {
    window.MessageBox("已存在相同名字的规则"_gbk);
    return false;
  }
  rule.source_address = window.Text(kAddressBox);
  rule.item_start_code = window.Text(kItemStart);
  rule.item_end_code = window.Text(kItemEnd);
  rule.price_start_code = window.Text(kPriceStart);
  rule.price_end_code = window.Text(kPriceEnd);
  // Written whole or not at all: a file cut short would block its name for good.
  const bool written =
      platform::ReplaceFileAtomically(platform::NativePath(path), FormatRuleFile(rule));
  window.MessageBox(written
                        ? "规则保存成功"_gbk
                        : "规则保存失败，请检查软件目录下的“采集规则”文件夹是否存在并且可写"_gbk);
  return written;
}

}  // namespace pagoling::collect
