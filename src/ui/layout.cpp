#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "ui/control.h"

namespace pagoling::ui {
namespace {

using literals::operator""_gbk;
using K = ControlKind;

// Where a control sits: its parent and, for a child of a page container, the page.
struct In {
  const char* parent;
  int page = -1;
};

constexpr EditTraits kSingleLine{};
constexpr EditTraits kCentred{.centred = true};
constexpr EditTraits kInteger{.integer_filter = true, .centred = true};
constexpr EditTraits kTextArea{.multi_line = true, .vertical_scroll = true};
constexpr EditTraits kCodeArea{
    .multi_line = true, .vertical_scroll = true, .horizontal_scroll = true};

class LayoutTable {
 public:
  // The caption is written as UTF-8 and held as GBK, like every text of the system.
  Control& Add(ControlKind kind, const char* name, In in, Rect geometry,
               std::string_view caption = {}) {
    Control& control = controls_.emplace_back();
    control.name = name;
    control.kind = kind;
    control.parent = in.parent;
    control.page = in.page;
    control.geometry = geometry;
    control.text = platform::GbkFromUtf8(caption);
    return control;
  }

  Control& Edit(const char* name, In in, Rect geometry, EditTraits traits,
                std::string_view text = {}) {
    Control& control = Add(K::kEditBox, name, in, geometry, text);
    control.edit = traits;
    return control;
  }

  Control& Choice(ControlKind kind, const char* name, In in, Rect geometry,
                  std::initializer_list<std::string_view> items) {
    Control& control = Add(kind, name, in, geometry);
    for (std::string_view item : items) {
      control.items.push_back(platform::GbkFromUtf8(item));
    }
    return control;
  }

  Control& Table(const char* name, In in, Rect geometry,
                 std::initializer_list<std::pair<std::string_view, int>> columns) {
    Control& control = Add(K::kListView, name, in, geometry);
    for (const auto& [caption, width] : columns) {
      control.columns.push_back({platform::GbkFromUtf8(caption), width});
    }
    return control;
  }

  Control& Pages(const char* name, In in, Rect geometry, int page_count) {
    Control& control = Add(K::kPageContainer, name, in, geometry);
    control.page_count = page_count;
    return control;
  }

  std::vector<Control> Take() { return std::move(controls_); }

 private:
  std::vector<Control> controls_;
};

void AddWindowFrame(LayoutTable& t) {
  t.Add(K::kWindow, kMainWindowName, In{""}, {50, 50, 739, 644}, "Pagoling3.1");

  t.Add(K::kGroupBox, "分组框20", In{kMainWindowName}, {-8, -2, 808, 56});
  const In toolbar{"分组框20"};
  t.Add(K::kImageButton, "超级按钮5", toolbar, {16, 12, 96, 35});
  t.Add(K::kSeparatorBar, "分隔条1", toolbar, {117, 17, 1, 25});
  t.Add(K::kImageButton, "超级按钮6", toolbar, {123, 12, 96, 35});
  t.Add(K::kSeparatorBar, "分隔条2", toolbar, {224, 17, 1, 25});
  t.Add(K::kImageButton, "超级按钮3", toolbar, {230, 12, 96, 35});
  t.Add(K::kSeparatorBar, "分隔条3", toolbar, {331, 17, 1, 25});
  t.Add(K::kImageButton, "超级按钮4", toolbar, {337, 12, 96, 35});
  t.Add(K::kSeparatorBar, "分隔条4", toolbar, {438, 17, 1, 25});

  const In window_area{kMainWindowName};
  t.Add(K::kLabel, "标签3", window_area, {8, 596, 150, 16}, "Pagoling 单页生成工具");
  t.Add(K::kLabel, "标签5", window_area, {170, 596, 210, 16}, "联系：support@pagoling.example");
  t.Add(K::kLabel, "标签6", window_area, {392, 596, 84, 16}, "新版本下载：");
  t.Add(K::kHyperlinkBox, "超级链接框1", window_area, {476, 596, 240, 16},
        "https://pagoling.example/download");
}

void AddOptionsGroup(LayoutTable& t) {
  const In options{"分组框3"};
  t.Add(K::kGroupBox, "分组框14", options, {9, 16, 114, 45}, "排序方式：");
  t.Choice(K::kComboBox, "组合框1", options, {17, 32, 102, 20},
           {"按销量由高到底", "按佣金比率由高到底", "30天支出佣金由高到底"});
  t.Add(K::kGroupBox, "分组框15", options, {9, 64, 114, 41});
  t.Add(K::kLabel, "标签2", options, {16, 75, 60, 16}, "商品数量：");
  t.Edit("编辑框7", options, {75, 76, 39, 22}, kInteger);

  t.Add(K::kLabel, "标签7", options, {16, 117, 60, 16}, "佣金比例：");
  t.Edit("佣金比例编辑框", options, {75, 114, 24, 22}, kCentred);
  t.Add(K::kLabel, "标签10", options, {101, 117, 36, 16}, "%以上");

  t.Add(K::kLabel, "标签4", options, {16, 148, 60, 16}, "30天推广：");
  t.Edit("推广前", options, {75, 145, 22, 22}, kCentred);
  t.Add(K::kLabel, "标签15", options, {98, 148, 8, 16}, "-");
  t.Edit("推广后", options, {106, 145, 22, 22}, kCentred);
  t.Add(K::kLabel, "标签17", options, {129, 148, 14, 16}, "件");

  t.Add(K::kLabel, "标签13", options, {16, 182, 60, 16}, "价格范围：");
  t.Edit("价格前", options, {75, 178, 22, 22}, kCentred);
  t.Add(K::kLabel, "标签16", options, {98, 182, 8, 16}, "-");
  t.Edit("价格后", options, {106, 178, 22, 22}, kCentred);
  t.Add(K::kLabel, "标签18", options, {129, 182, 14, 16}, "元");

  t.Add(K::kLabel, "标签11", options, {16, 215, 60, 16}, "文件后缀：");
  t.Edit("编辑框9", options, {75, 214, 48, 22}, kCentred, "htm");

  // From here on the rows lie below the 240 pixels that 外形框3 shows.
  t.Add(K::kGroupBox, "分组框30", options, {9, 244, 114, 48}, "命名规则：");
  t.Choice(K::kComboBox, "组合框2", In{"分组框30"}, {8, 19, 96, 20},
           {"按关键词命名", "按关键词拼音命名"});
  t.Add(K::kCheckBox, "选择框2", options, {13, 298, 110, 20}, "选中使用短网址");
  t.Add(K::kGroupBox, "分组框31", options, {11, 324, 112, 79}, "短网址");
  t.Add(K::kRadioButton, "单选框8", In{"分组框31"}, {13, 18, 92, 20}, "百度 dwz.cn");
  t.Add(K::kRadioButton, "单选框7", In{"分组框31"}, {13, 43, 92, 20}, "网易 126.am");
}

void AddMainPage(LayoutTable& t) {
  Control& main_area = t.Pages("选择夹1", In{kMainWindowName}, {-2, 27, 736, 560}, 1);
  main_area.items.push_back("单页生成"_gbk);  // the one page's header caption
  const In page{"选择夹1", 0};

  t.Add(K::kGroupBox, "分组框1", page, {8, 32, 146, 101}, "关键词列表（一行一个）：");
  t.Edit("编辑框1", In{"分组框1"}, {8, 17, 128, 76}, kTextArea);
  t.Add(K::kGroupBox, "分组框2", page, {8, 136, 146, 72}, "单页模板：");
  t.Add(K::kListBox, "列表框1", In{"分组框2"}, {8, 16, 128, 48});

  t.Add(K::kFrame, "外形框3", page, {6, 213, 155, 240});
  t.Add(K::kGroupBox, "分组框3", In{"外形框3"}, {3, 2, 145, 410}, "其他配置：");
  AddOptionsGroup(t);

  // Feature switch: hidden, the naming rule and short-link options stay out of reach.
  Control& scroll_bar = t.Add(K::kScrollBar, "纵向滚动条1", page, {134, 224, 16, 229});
  scroll_bar.visible = false;
  scroll_bar.scroll_minimum = 1;
  scroll_bar.scroll_maximum = 100;
  scroll_bar.scroll_position = 1;
  scroll_bar.scroll_page_step = 10;
  scroll_bar.scroll_line_step = 1;

  t.Add(K::kGroupBox, "分组框18", page, {8, 461, 146, 43}, "完整mm号：");
  t.Edit("mm号编辑框", In{"分组框18"}, {9, 15, 128, 24}, kSingleLine, "mm_10011550_0_0");
  t.Add(K::kGroupBox, "分组框4", page, {8, 504, 146, 48});
  t.Add(K::kButton, "按钮1", In{"分组框4"}, {7, 13, 59, 28}, "开始生成");
  t.Add(K::kButton, "按钮5", In{"分组框4"}, {76, 13, 59, 28}, "停止生成");
  t.Add(K::kGroupBox, "分组框5", page, {160, 32, 568, 520});
}

void AddRightPane(LayoutTable& t) {
  const In pane{"分组框5"};
  t.Add(K::kRadioButton, "单选框1", pane, {16, 24, 72, 20}, "使用说明");
  t.Add(K::kRadioButton, "单选框2", pane, {96, 21, 72, 20}, "模板预览");
  t.Add(K::kRadioButton, "单选框3", pane, {173, 21, 72, 20}, "模板制作");
  t.Add(K::kRadioButton, "单选框4", pane, {248, 21, 72, 20}, "生成日志");
  // Feature switch: hidden and unchecked, so custom collection cannot be chosen.
  t.Add(K::kCheckBox, "选择框1", pane, {330, 21, 136, 24}, "选中开始自定义采集").visible = false;
  t.Add(K::kGroupBox, "分组框6", pane, {16, 56, 544, 456});
  t.Pages("选择夹2", In{"分组框6"}, {8, 16, 528, 432}, 7);
}

void AddLoginPage(LayoutTable& t) {
  const In page{"选择夹2", 0};
  t.Add(K::kGroupBox, "分组框19", page, {16, 4, 496, 52});
  t.Add(K::kRadioButton, "单选框5", In{"分组框19"}, {40, 20, 120, 20}, "淘宝登陆");
  t.Add(K::kRadioButton, "单选框6", In{"分组框19"}, {240, 20, 120, 20}, "阿里妈妈登陆");
  t.Add(K::kFrame, "外形框1", page, {24, 80, 480, 280});
  t.Add(K::kBrowserPane, "超文本浏览框1", In{"外形框1"}, {0, 0, 480, 280});
}

void AddTemplateEditorPage(LayoutTable& t) {
  const In page{"选择夹2", 1};
  t.Add(K::kGroupBox, "分组框8", page, {0, 0, 520, 136});
  const In variables{"分组框8"};
  t.Add(K::kLabel, "标签8", variables, {8, 14, 100, 16}, "模板变量标签：");
  struct VariableLabel {
    const char* name;
    std::string_view caption;
  };
  constexpr VariableLabel kVariableLabels[] = {
      {"标签12", "[#关键词#]"},       {"标签14", "[#商品网址#]"},   {"标签19", "[#商品标题#]"},
      {"标签21", "[#商品图片地址#]"}, {"标签20", "[#商品销售量#]"}, {"标签22", "[#卖家昵称#]"},
      {"标签23", "[#商品价格#]"},     {"标签26", "[#商品排名#]"},   {"标签24", "[#店铺网址#]"},
      {"标签25", "[#信誉图片地址#]"},
  };
  int index = 0;
  for (const VariableLabel& label : kVariableLabels) {
    const Rect place{8 + (index % 5) * 102, 40 + (index / 5) * 28, 100, 16};
    t.Add(K::kLabel, label.name, variables, place, label.caption);
    ++index;
  }

  t.Add(K::kLabel, "标签1", page, {8, 146, 64, 16}, "模板名称：");
  t.Edit("编辑框2", page, {72, 142, 200, 22}, kSingleLine);
  t.Add(K::kButton, "按钮4", page, {292, 140, 60, 26}, "修改");
  t.Add(K::kButton, "按钮6", page, {362, 140, 60, 26}, "制作");
  t.Add(K::kButton, "按钮3", page, {432, 140, 60, 26}, "保存");

  t.Add(K::kGroupBox, "分组框9", page, {0, 172, 520, 80}, "头部");
  t.Edit("编辑框3", In{"分组框9"}, {8, 18, 504, 56}, kTextArea);
  t.Add(K::kGroupBox, "分组框10", page, {0, 254, 520, 100}, "循环代码");
  t.Edit("编辑框4", In{"分组框10"}, {8, 18, 504, 76}, kTextArea);
  t.Add(K::kGroupBox, "分组框11", page, {0, 356, 520, 72}, "尾部");
  t.Edit("编辑框5", In{"分组框11"}, {8, 18, 504, 48}, kTextArea);
}

void AddOutputPages(LayoutTable& t) {
  t.Add(K::kGroupBox, "分组框13", In{"选择夹2", 2}, {0, 0, 520, 428}, "运行日志：");
  t.Edit("编辑框8", In{"分组框13"}, {8, 18, 504, 402}, kTextArea);

  t.Add(K::kGroupBox, "分组框12", In{"选择夹2", 3}, {8, 0, 512, 432});
  t.Add(K::kBrowserPane, "超文本浏览框2", In{"分组框12"}, {8, 12, 496, 416});

  t.Add(K::kGroupBox, "分组框17", In{"选择夹2", 4}, {0, 0, 528, 432}, "使用帮助：");
  t.Add(K::kBrowserPane, "超文本浏览框3", In{"分组框17"}, {8, 18, 512, 408});

  const In work_tables{"选择夹2", 5};
  t.Table("超级列表框1", work_tables, {0, 0, 520, 140},
          {{"宝贝id", 100},
           {"宝贝标题", 100},
           {"商家名称", 50},
           {"店铺id", 50},
           {"转换后商家链接", 50},
           {"信誉图片", 50},
           {"商品图片", 50},
           {"商品价格", 50},
           {"商品数量", 50},
           {"促销价", 50}});
  t.Table("自定义超级列表框", work_tables, {0, 144, 520, 140}, {{"网址", 50}, {"特价", 50}});
  t.Table("超级列表框转换链接", work_tables, {0, 288, 520, 140},
          {{"1", 80}, {"2", 80}, {"3", 80}, {"4", 80}});
}

void AddRuleEditorPage(LayoutTable& t) {
  const In page{"选择夹2", 6};
  t.Add(K::kGroupBox, "分组框7", page, {0, 0, 256, 150}, "自定义资源采集：");
  t.Add(K::kGroupBox, "分组框26", In{"分组框7"}, {8, 18, 240, 50});
  t.Choice(K::kComboBox, "资源组合框1", In{"分组框26"}, {8, 18, 224, 20}, {"请选择要采集的资源"});
  t.Add(K::kGroupBox, "分组框16", In{"分组框7"}, {8, 74, 240, 70}, "创建新资源：");
  t.Add(K::kLabel, "标签9", In{"分组框16"}, {8, 26, 64, 16}, "规则名称：");
  t.Edit("资源名称编辑框", In{"分组框16"}, {72, 22, 100, 22}, kSingleLine);
  t.Add(K::kButton, "保存按钮", In{"分组框16"}, {180, 20, 52, 26}, "保存");

  t.Add(K::kGroupBox, "分组框27", page, {0, 154, 256, 274});
  t.Add(K::kGroupBox, "分组框28", In{"分组框27"}, {8, 10, 240, 50}, "采集网址：");
  t.Edit("网址编辑框", In{"分组框28"}, {8, 18, 224, 22}, kSingleLine);
  t.Add(K::kGroupBox, "分组框29", In{"分组框27"}, {8, 64, 240, 40});
  t.Add(K::kButton, "按钮2", In{"分组框29"}, {40, 10, 60, 24}, "添加");
  t.Add(K::kButton, "按钮7", In{"分组框29"}, {140, 10, 60, 24}, "删除");
  t.Table("网址超级列表框", In{"分组框27"}, {8, 110, 240, 156}, {{"       网  址  列  表", 200}});

  t.Add(K::kGroupBox, "分组框21", page, {264, 0, 264, 428}, "代码区：");
  const In code{"分组框21"};
  t.Add(K::kGroupBox, "分组框25", code, {8, 18, 248, 100}, "单个商品前代码：");
  t.Edit("单个前编辑框", In{"分组框25"}, {8, 18, 232, 76}, kCodeArea);
  t.Add(K::kGroupBox, "分组框24", code, {8, 120, 248, 100}, "单个商品后代码：");
  t.Edit("单个后编辑框", In{"分组框24"}, {8, 18, 232, 76}, kCodeArea);
  t.Add(K::kGroupBox, "分组框22", code, {8, 222, 248, 100}, "特价前代码：");
  t.Edit("特价前编辑框", In{"分组框22"}, {8, 18, 232, 76}, kCodeArea);
  t.Add(K::kGroupBox, "分组框23", code, {8, 324, 248, 100}, "特价后代码：");
  t.Edit("特价后编辑框", In{"分组框23"}, {8, 18, 232, 76}, kCodeArea);
}

}  // namespace

std::vector<Control> InitialLayout() {
  LayoutTable table;
  AddWindowFrame(table);
  AddMainPage(table);
  AddRightPane(table);
  AddLoginPage(table);
  AddTemplateEditorPage(table);
  AddOutputPages(table);
  AddRuleEditorPage(table);
  return table.Take();
}

}  // namespace pagoling::ui
