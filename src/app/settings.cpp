#include "app/settings.h"

#include <array>
#include <string>
#include <string_view>

#include "app/application.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/private_profile.h"
#include "platform/run_directory.h"
#include "ui/control_names.h"

namespace pagoling::app {
namespace {

using literals::operator""_gbk;

using ui::kNamingRuleBox;
using ui::kOptionsScrollBar;
using ui::kSortOrderBox;
constexpr int kSortOrders = 3;
constexpr int kNamingRules = 2;

struct KeyOfControl {
  const char* key;  // UTF-8, turned into GBK when used
  std::string_view control;
};

// The order in which both operations handle them, after the sort order.
constexpr std::array<KeyOfControl, 8> kTextKeys{{{"商品数量", ui::kProductCountBox},
                                                 {"yj", "佣金比例编辑框"},
                                                 {"tga", "推广前"},
                                                 {"tgb", "推广后"},
                                                 {"jga", "价格前"},
                                                 {"jgb", "价格后"},
                                                 {"hz", ui::kSuffixBox},
                                                 {"mm", "mm号编辑框"}}};

constexpr std::array<KeyOfControl, 3> kCheckKeys{
    {{"dwz", "选择框2"}, {"wy", "单选框7"}, {"bd", "单选框8"}}};

std::string Gbk(const char* utf8) { return platform::GbkFromUtf8(utf8); }

class SettingsFile {
 public:
  SettingsFile() : path_(ConfigFilePath()), section_("配置"_gbk) {}

  std::string Read(const char* key) const {
    return platform::GetPrivateProfileString(section_, Gbk(key), "", path_);
  }
  bool Write(const char* key, const std::string& value) const {
    return platform::WritePrivateProfileString(section_, Gbk(key), value, path_);
  }

 private:
  std::string path_;
  std::string section_;
};

// Only the exact texts "0" .. "<count - 1>" select an entry; anything else leaves the box as it is.
void LoadIndex(ui::MainWindow& window, const SettingsFile& file, const char* key,
               std::string_view control, int count) {
  const std::string value = file.Read(key);
  for (int index = 0; index < count; ++index) {
    if (value == std::to_string(index)) {
      window.SetSelectedIndex(control, index);
      return;
    }
  }
}

// An index out of the box's range writes nothing, which is no failure.
bool SaveIndex(ui::MainWindow& window, const SettingsFile& file, const char* key,
               std::string_view control, int count) {
  const int index = window.SelectedIndex(control);
  return index < 0 || index >= count || file.Write(key, std::to_string(index));
}

}  // namespace

void LoadSettings(ui::MainWindow& window) {
  if (!platform::FileExists(ConfigFilePath())) return;
  const SettingsFile file;
  LoadIndex(window, file, "排序方式", kSortOrderBox, kSortOrders);
  // A missing text key reads as empty text and empties its box.
  for (const KeyOfControl& text : kTextKeys) window.SetText(text.control, file.Read(text.key));

  if (!window.IsVisible(kOptionsScrollBar)) return;
  LoadIndex(window, file, "命名规则", kNamingRuleBox, kNamingRules);
  for (const KeyOfControl& check : kCheckKeys) {
    if (file.Read(check.key) == "1") window.SetChecked(check.control, 1);
  }
}

bool SaveSettings(ui::MainWindow& window) {
  const std::string path = ConfigFilePath();
  if (!platform::FileExists(path)) platform::WriteWholeFile(path, "");
  const SettingsFile file;
  // Every key is tried even after a failure: a key that can be written is not lost for another.
  bool saved = SaveIndex(window, file, "排序方式", kSortOrderBox, kSortOrders);
  for (const KeyOfControl& text : kTextKeys) {
    saved = file.Write(text.key, window.Text(text.control)) && saved;
  }

  if (!window.IsVisible(kOptionsScrollBar)) return saved;
  saved = SaveIndex(window, file, "命名规则", kNamingRuleBox, kNamingRules) && saved;
  for (const KeyOfControl& check : kCheckKeys) {
    saved = file.Write(check.key, window.Checked(check.control) != 0 ? "1" : "0") && saved;
  }
  return saved;
}

}  // namespace pagoling::app
