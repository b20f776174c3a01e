#pragma once

#include <string>

#include "ui/main_window.h"

// The window's own handlers: switching the pages of 选择夹2, the toolbar buttons and the scrollable
// options pane.
namespace pagoling::ui {

// Pages of the page container 选择夹2.
inline constexpr int kLoginPage = 0;
inline constexpr int kTemplateEditorPage = 1;
inline constexpr int kRunLogPage = 2;
inline constexpr int kPreviewPage = 3;
inline constexpr int kHelpPage = 4;
inline constexpr int kWorkTablesPage = 5;
inline constexpr int kRuleEditorPage = 6;

// Page 2 to the front; no radio button changes its checked state.
void ShowRunLog(MainWindow& window);
// Page 4 to the front, then the help pane 超文本浏览框3 navigates to the help page.
void ShowHelp(MainWindow& window, const std::string& help_page_url);

// Shows the folder of the template named in 编辑框2 (the run directory when the box is empty) in
// the desktop's file browser. The path is one argument, never parsed by a shell.
void OpenTemplateFolder(MainWindow& window);
void OpenHomePage(MainWindow& window, const std::string& home_page_url);
void CloseMainWindow(MainWindow& window);

// The top of 分组框3 right after the window was created; set once by SetUpOptionsPane.
int OptionsPaneTop();
// Start-up: remembers the pane's top and gives the scroll bar the pane's surplus height as maximum.
void SetUpOptionsPane(MainWindow& window);
// The scroll bar moved: the options group follows it.
void ScrollOptions(MainWindow& window);

}  // namespace pagoling::ui
