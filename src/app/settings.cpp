#include "app/settings.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/private_profile.h"
#include "platform/run_directory.h"

namespace pagoling::app {
namespace {

using literals::operator""_gbk;

constexpr std::string_view kSwitch = "纵向滚动条1";
constexpr std::string_view kSortBox = "组合框1";
constexpr std::string_view kNamingBox = "组合框2";
constexpr int kSortOrders = 3;
constexpr int kNamingRules = 2;

struct KeyOfControl {
  const char* key;  // UTF-8, turned into GBK when used
  std::string_view control;
};

// The order in which both operations handle them, after the sort order.
constexpr std::array<KeyOfControl, 8> kTextKeys{{{"商品数量", "编辑框7"},
                                                 {"yj", "佣金比例编辑框"},
                                                 {"tga", "推广前"},
                                                 {"tgb", "推广后"},
                                                 {"jga", "价格前"},
                                                 {"jgb", "价格后"},
                                                 {"hz", "编辑框9"},
                                                 {"mm", "mm号编辑框"}}};

constexpr std::array<KeyOfControl, 3> kCheckKeys{
    {{"dwz", "选择框2"}, {"wy", "单选框7"}, {"bd", "单选框8"}}};

std::string SettingsPath() { return platform::RunDirectory() + "\\Config.ini"; }

std::string Gbk(const char* utf8) { return platform::GbkFromUtf8(utf8); }

class SettingsFile {
 public:
  SettingsFile() : path_(SettingsPath()), section_("配置"_gbk) {}

  std::string Read(const char* key) const {
    return platform::GetPrivateProfileString(section_, Gbk(key), "", path_);
  }
  // Write failures go unreported: there is nobody left to tell at exit.
  void Write(const char* key, const std::string& value) const {
    platform::WritePrivateProfileString(section_, Gbk(key), value, path_);
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

void SaveIndex(ui::MainWindow& window, const SettingsFile& file, const char* key,
               std::string_view control, int count) {
  const int index = window.SelectedIndex(control);
  if (index >= 0 && index < count) file.Write(key, std::to_string(index));
}

}  // namespace

void LoadSettings(ui::MainWindow& window) {
  if (!platform::FileExists(SettingsPath())) return;
  const SettingsFile file;
  LoadIndex(window, file, "排序方式", kSortBox, kSortOrders);
  // A missing text key reads as empty text and empties its box.
  for (const KeyOfControl& text : kTextKeys) window.SetText(text.control, file.Read(text.key));

  if (!window.IsVisible(kSwitch)) return;
  LoadIndex(window, file, "命名规则", kNamingBox, kNamingRules);
  for (const KeyOfControl& check : kCheckKeys) {
    if (file.Read(check.key) == "1") window.SetChecked(check.control, 1);
  }
}

void SaveSettings(ui::MainWindow& window) {
  const std::string path = SettingsPath();
  if (!platform::FileExists(path)) platform::WriteWholeFile(path, "");
  const SettingsFile file;
  SaveIndex(window, file, "排序方式", kSortBox, kSortOrders);
  for (const KeyOfControl& text : kTextKeys) file.Write(text.key, window.Text(text.control));

  if (!window.IsVisible(kSwitch)) return;
  SaveIndex(window, file, "命名规则", kNamingBox, kNamingRules);
  for (const KeyOfControl& check : kCheckKeys) {
    file.Write(check.key, window.Checked(check.control) != 0 ? "1" : "0");
  }
}

}  // namespace pagoling::app
