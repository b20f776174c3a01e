#pragma once

#include "ui/main_window.h"

// The rule editor on page 6 of 选择夹2: the rule list 资源组合框1, the name box 资源名称编辑框, the
// address box 网址编辑框 and list 网址超级列表框, and the four code boxes. Its handlers run on the
// GUI thread; the custom run reads the same controls.
namespace pagoling::collect {

// Got focus of 选择框1 (and part of its click): unless the box is checked, brings the editor to the
// front and lists the rule files as 资源组合框1's items after its prompt item, prompt selected.
void ListRules(ui::MainWindow& window);
// Click of 选择框1: the editor to the front; when the click unchecked the box, the list again.
void OnCustomCollectionClicked(ui::MainWindow& window);
// 资源组合框1 item selected: the name into 资源名称编辑框, the rule file's address appended to
// 网址超级列表框 and its four codes into the code boxes. An unreadable file loads as empty.
void LoadRule(ui::MainWindow& window);
// 按钮2 "添加": 网址编辑框's text as a new row of 网址超级列表框.
void AddRuleAddress(ui::MainWindow& window);
// 按钮7 "删除": the current row of 网址超级列表框 goes.
void DeleteRuleAddress(ui::MainWindow& window);
// 网址超级列表框 clicked: the current row's address into 网址编辑框.
void PickRuleAddress(ui::MainWindow& window);
// 保存按钮 "保存": writes a new rule file from 资源名称编辑框, 网址编辑框 and the code boxes and
// tells the user how it went. An existing rule is never overwritten; a name that would not stay a
// listed file of the rule folder is refused. True when the file was written.
bool SaveRule(ui::MainWindow& window);

}  // namespace pagoling::collect
