#include "ui/shell_handlers.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/run_directory.h"
#include "ui/control_names.h"

namespace pagoling::ui {
namespace {

using literals::operator""_gbk;

#ifdef _WIN32
constexpr const char* kFileBrowser = "explorer";
#else
constexpr const char* kFileBrowser = "xdg-open";
#endif

constexpr const char* kOptionsGroup = "分组框3";

// Written once at start-up on the GUI thread, read by the scroll handler.
std::atomic<int> options_pane_top{0};

}  // namespace

void ShowRunLog(MainWindow& window) { window.SetCurrentPage(kSwitchingPane, kRunLogPage); }

void ShowHelp(MainWindow& window, const std::string& help_page_url) {
  window.SetCurrentPage(kSwitchingPane, kHelpPage);
  window.Navigate("超文本浏览框3", help_page_url);
}

void OpenTemplateFolder(MainWindow& window) {
  const std::string name = window.Text("编辑框2");
  std::string folder = platform::RunDirectory();
  if (!name.empty()) folder += "\\单页生成\\模板\\"_gbk + name;
  window.RunProgram(kFileBrowser, {platform::NativePath(folder).string()});
}

void OpenHomePage(MainWindow& window, const std::string& home_page_url) {
  window.OpenAddress(home_page_url);
}

void CloseMainWindow(MainWindow& window) { window.Close(); }

int OptionsPaneTop() { return options_pane_top.load(); }

void SetUpOptionsPane(MainWindow& window) {
  options_pane_top.store(window.Top(kOptionsGroup));
  window.SetScrollMaximum(kOptionsScrollBar,
                          window.Height(kOptionsGroup) - window.Height(kOptionsScrollBar));
}

void ScrollOptions(MainWindow& window) {
  window.SetTop(kOptionsGroup, OptionsPaneTop() - window.ScrollPosition(kOptionsScrollBar));
}

}  // namespace pagoling::ui
