#include "templates/template_store.h"

#include "generate/page_assembly.h"
#include "net/text_between.h"
#include "platform/atomic_file.h"
#include "platform/cancel.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/run_directory.h"
#include "ui/control_names.h"
#include "ui/shell_handlers.h"

namespace pagoling::templates {

using namespace pagoling::literals;

namespace {

constexpr const char* kTemplateList = "列表框1";
constexpr const char* kName = "编辑框2";
constexpr const char* kHead = "编辑框3";
constexpr const char* kLoop = "编辑框4";
constexpr const char* kTail = "编辑框5";
constexpr const char* kPreviewPane = "超文本浏览框2";
using ui::kSwitchingPane;

std::string SelectedName(ui::MainWindow& window) {
  const int index = window.SelectedIndex(kTemplateList);
  return index < 0 ? std::string() : window.ItemText(kTemplateList, index);
}

// Loading and the checks use "/" pieces, saving uses "\\" pieces; the platform takes both.
std::string TemplateFilePath(const std::string& name) {
  return platform::RunDirectory() + "/单页生成/模板/"_gbk + name + "/模板文件.htm"_gbk;
}

std::string PreviewFilePath(const std::string& name) {
  return platform::RunDirectory() + "/单页生成/模板/"_gbk + name + "/效果预览.htm"_gbk;
}

// With no entry selected the name is empty, and the path would name the template root itself.
bool IsRegularFile(const std::string& name, const std::string& path) {
  return generate::IsPlainName(name) && platform::FileExists(path) && !platform::IsFolder(path);
}

void ShowPreview(ui::MainWindow& window) {
  window.Navigate(kPreviewPane, PreviewFilePath(SelectedName(window)));
}

}  // namespace

std::string LoopStartMarker() { return "[#商品循环开始#]"_gbk; }
std::string LoopEndMarker() { return "[#商品循环结束#]"_gbk; }

void ListTemplates(ui::MainWindow& window) {
  window.ClearItems(kTemplateList);
  for (const platform::FolderEntry& entry : platform::ListFolder(TemplateRoot() + "*.*")) {
    if (!entry.is_folder || entry.name.empty() || entry.name.front() == '.') continue;
    window.AddItem(kTemplateList, entry.name);
  }
  if (window.ItemCount(kTemplateList) > 0) window.SetSelectedIndex(kTemplateList, 0);
}

void LoadTemplate(ui::MainWindow& window) {
  const std::string name = SelectedName(window);
  std::string content;
  if (generate::IsPlainName(name)) {
    content = platform::ReadWholeFile(TemplateFilePath(name)).value_or(std::string());
  }
  platform::CheckThreadToken();  // pending window messages run here on a desktop with a queue

  const std::string start = LoopStartMarker();
  const std::string end = LoopEndMarker();
  const int start_at = net::FindText(content, start);
  const int end_at = net::FindText(content, end);
  window.SetText(kName, name);
  window.SetText(kHead, start_at < 0 ? std::string() : content.substr(0, start_at - 1));
  window.SetText(kLoop, net::TextBetween(content, start, end));
  window.SetText(kTail, end_at < 0 ? std::string() : content.substr(end_at - 1 + end.size()));
}

bool SaveTemplate(ui::MainWindow& window) {
  const std::string name = window.Text(kName);
  if (!generate::IsPlainName(name)) {
    window.MessageBox(
        "模板名称不能为空，不能只由点或空格组成，也不能含有“/”“\\”“:”，请换一个名称"_gbk);
    return false;
  }
  const std::string content = window.Text(kHead) + LoopStartMarker() + window.Text(kLoop) +
                              LoopEndMarker() + window.Text(kTail);
  const std::string folder = TemplateRoot() + name;
  const std::string file = folder + "\\模板文件.htm"_gbk;
  if (!platform::FileExists(file)) platform::CreateFolder(folder);
  // Replaced in one step rather than deleted and written: a failed write keeps the old template.
  const bool written = platform::ReplaceFileAtomically(platform::NativePath(file), content);
  window.MessageBox(written ? "保存模板成功"_gbk
                            : "保存模板失败，请检查模板目录“单页生成\\模板”是否存在并且可写"_gbk);
  ListTemplates(window);
  return written;
}

bool TemplateFileExists(ui::MainWindow& window) {
  const std::string name = SelectedName(window);
  return IsRegularFile(name, TemplateFilePath(name));
}

bool PreviewFileExists(ui::MainWindow& window) {
  const std::string name = SelectedName(window);
  return IsRegularFile(name, PreviewFilePath(name));
}

void OnTemplateSelected(ui::MainWindow& window) {
  ShowPreview(window);
  LoadTemplate(window);
}

void ShowTemplatePreview(ui::MainWindow& window) {
  window.SetCurrentPage(kSwitchingPane, ui::kPreviewPage);
  if (PreviewFileExists(window)) {
    ShowPreview(window);
    LoadTemplate(window);
  } else {
    window.MessageBox(
        "您没把预览文件放在指定位置，请按张以下方式放入。例如：软件目录/单页生成/模板/高贵大气/效果预览.htm"_gbk);
  }
}

void ShowTemplateEditor(ui::MainWindow& window) {
  window.SetCurrentPage(kSwitchingPane, ui::kTemplateEditorPage);
  if (TemplateFileExists(window)) {
    LoadTemplate(window);
  } else {
    window.MessageBox(
        "您没把模板放在指定位置，请按张以下方式放入。例如：软件目录/单页生成/模板/高贵大气/模板文件.htm"_gbk);
  }
}

void ModifyTemplate(ui::MainWindow& window) { LoadTemplate(window); }

void MakeTemplate(ui::MainWindow& window) {
  for (const char* box : {kName, kHead, kLoop, kTail}) window.SetText(box, "");
}

void SaveTemplateClicked(ui::MainWindow& window) { SaveTemplate(window); }

}  // namespace pagoling::templates
