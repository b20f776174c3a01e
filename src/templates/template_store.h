#pragma once

#include <string>

#include "generate/page_assembly.h"
#include "ui/main_window.h"

// The template store (one folder per template under the run directory's 单页生成\模板) and the
// template editor of the main window: the list 列表框1, the boxes 编辑框2..编辑框5, the buttons
// 按钮3/按钮4/按钮6 and the preview pane 超文本浏览框2.
namespace pagoling::templates {

// The two markers around the loop body in a template file, as GBK bytes.
std::string LoopStartMarker();
std::string LoopEndMarker();

using generate::TemplateRoot;

// Fills 列表框1 with the template folders (names beginning with "." left out) in listing order and
// selects the first without raising the selection event.
void ListTemplates(ui::MainWindow& window);

// Reads the selected template's file into 编辑框2..编辑框5: the name, the text before the first
// start marker, the text between it and the first end marker after it, and everything after the
// first end marker. A missing file, or a marker missing, gives empty parts.
void LoadTemplate(ui::MainWindow& window);

// Writes head, start marker, loop body, end marker and tail, nothing added, as the file of the
// template named in 编辑框2, creating its folder (one level) when needed; tells the user how it
// went and lists the templates again. A name that is not a plain folder name is refused before
// anything is touched. True when the file was written.
bool SaveTemplate(ui::MainWindow& window);

// Whether the selected template's 模板文件.htm / 效果预览.htm exists as a file (a folder of that
// name does not count).
bool TemplateFileExists(ui::MainWindow& window);
bool PreviewFileExists(ui::MainWindow& window);

// The editor's event handlers.
void OnTemplateSelected(ui::MainWindow& window);   // 列表框1, an entry selected by the user
void ShowTemplatePreview(ui::MainWindow& window);  // 单选框2 "模板预览"
void ShowTemplateEditor(ui::MainWindow& window);   // 单选框3 "模板制作"
void ModifyTemplate(ui::MainWindow& window);       // 按钮4 "修改"
void MakeTemplate(ui::MainWindow& window);         // 按钮6 "制作"
void SaveTemplateClicked(ui::MainWindow& window);  // 按钮3 "保存"

}  // namespace pagoling::templates
