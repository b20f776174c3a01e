#include "ui/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/cancel.h"
#include "platform/codepage.h"
#include "ui/headless_host.h"

namespace pagoling::ui {
namespace {

using literals::operator""_gbk;
using ::testing::ElementsAre;

class MainWindowTest : public ::testing::Test {
 protected:
  HeadlessHost host_;
  MainWindow window_{host_};
};

TEST(LayoutTest, TreeIsWellFormed) {
  const std::vector<Control> layout = InitialLayout();
  ASSERT_FALSE(layout.empty());
  EXPECT_EQ(layout.front().name, kMainWindowName);
  EXPECT_TRUE(layout.front().parent.empty());

  std::map<std::string, const Control*> seen;
  for (const Control& control : layout) {
    SCOPED_TRACE(control.name);
    EXPECT_TRUE(control.enabled);
    if (&control != &layout.front()) {
      const auto parent = seen.find(control.parent);
      ASSERT_NE(parent, seen.end()) << "parent missing or listed later: " << control.parent;
      if (parent->second->kind == ControlKind::kPageContainer) {
        EXPECT_GE(control.page, 0);
        EXPECT_LT(control.page, parent->second->page_count);
      } else {
        EXPECT_EQ(control.page, -1);
      }
    }
    EXPECT_TRUE(seen.emplace(control.name, &control).second) << "named twice";
  }
}

// The names the other parts of the system address; a missing one would fail only at run time.
TEST(LayoutTest, HoldsEveryControlTheSystemAddresses) {
  const char* const kNames[] = {"分组框20",
                                "超级按钮5",
                                "超级按钮6",
                                "超级按钮3",
                                "超级按钮4",
                                "分隔条1",
                                "分隔条4",
                                "标签3",
                                "标签5",
                                "标签6",
                                "超级链接框1",
                                "选择夹1",
                                "分组框1",
                                "编辑框1",
                                "分组框2",
                                "列表框1",
                                "外形框3",
                                "分组框3",
                                "分组框14",
                                "组合框1",
                                "分组框15",
                                "标签2",
                                "编辑框7",
                                "标签7",
                                "佣金比例编辑框",
                                "标签10",
                                "标签4",
                                "推广前",
                                "标签15",
                                "推广后",
                                "标签17",
                                "标签13",
                                "价格前",
                                "标签16",
                                "价格后",
                                "标签18",
                                "标签11",
                                "编辑框9",
                                "分组框30",
                                "组合框2",
                                "选择框2",
                                "分组框31",
                                "单选框8",
                                "单选框7",
                                "纵向滚动条1",
                                "分组框18",
                                "mm号编辑框",
                                "分组框4",
                                "按钮1",
                                "按钮5",
                                "分组框5",
                                "单选框1",
                                "单选框2",
                                "单选框3",
                                "单选框4",
                                "选择框1",
                                "分组框6",
                                "选择夹2",
                                "分组框19",
                                "单选框5",
                                "单选框6",
                                "外形框1",
                                "超文本浏览框1",
                                "分组框8",
                                "标签8",
                                "标签12",
                                "标签14",
                                "标签19",
                                "标签21",
                                "标签20",
                                "标签22",
                                "标签23",
                                "标签26",
                                "标签24",
                                "标签25",
                                "标签1",
                                "编辑框2",
                                "按钮4",
                                "按钮6",
                                "按钮3",
                                "分组框9",
                                "分组框10",
                                "分组框11",
                                "编辑框3",
                                "编辑框4",
                                "编辑框5",
                                "分组框13",
                                "编辑框8",
                                "分组框12",
                                "超文本浏览框2",
                                "分组框17",
                                "超文本浏览框3",
                                "超级列表框1",
                                "自定义超级列表框",
                                "超级列表框转换链接",
                                "分组框7",
                                "分组框26",
                                "资源组合框1",
                                "分组框16",
                                "标签9",
                                "资源名称编辑框",
                                "保存按钮",
                                "分组框27",
                                "分组框28",
                                "网址编辑框",
                                "分组框29",
                                "按钮2",
                                "按钮7",
                                "网址超级列表框",
                                "分组框21",
                                "分组框25",
                                "分组框24",
                                "分组框22",
                                "分组框23",
                                "单个前编辑框",
                                "单个后编辑框",
                                "特价前编辑框",
                                "特价后编辑框"};
  std::set<std::string> names;
  for (const Control& control : InitialLayout()) names.insert(control.name);
  for (const char* name : kNames) EXPECT_TRUE(names.count(name)) << name;
}

TEST_F(MainWindowTest, InitialStateAsCreated) {
  const Control window = window_.Snapshot(kMainWindowName);
  EXPECT_EQ(window.text, "Pagoling3.1");
  EXPECT_EQ(window.geometry.left, 50);
  EXPECT_EQ(window.geometry.width, 739);
  EXPECT_EQ(window.geometry.height, 644);

  EXPECT_EQ(window_.Text("编辑框9"), "htm");
  EXPECT_EQ(window_.Text("分组框1"), "关键词列表（一行一个）："_gbk);
  EXPECT_EQ(window_.ItemText("组合框1", 2), "30天支出佣金由高到底"_gbk);
  EXPECT_EQ(window_.ItemCount("组合框2"), 2);
  EXPECT_EQ(window_.SelectedIndex("组合框1"), -1);
  EXPECT_THAT(window_.Snapshot("资源组合框1").items, ElementsAre("请选择要采集的资源"_gbk));
  EXPECT_TRUE(window_.Snapshot("编辑框7").edit.integer_filter);
  EXPECT_EQ(window_.Text("单选框8").rfind("百度 "_gbk, 0), 0u);
  EXPECT_EQ(window_.Text("单选框7").rfind("网易 "_gbk, 0), 0u);

  // The affiliate id: four parts joined by "_", the first "mm".
  const std::string mm = window_.Text("mm号编辑框");
  EXPECT_EQ(mm.rfind("mm_", 0), 0u);
  EXPECT_EQ(std::count(mm.begin(), mm.end(), '_'), 3);

  const Control scroll_bar = window_.Snapshot("纵向滚动条1");
  EXPECT_EQ(scroll_bar.scroll_minimum, 1);
  EXPECT_EQ(scroll_bar.scroll_maximum, 100);
  EXPECT_EQ(scroll_bar.scroll_position, 1);
  EXPECT_EQ(scroll_bar.scroll_page_step, 10);
  EXPECT_EQ(window_.Top("分组框3"), 2);
  EXPECT_EQ(window_.Height("分组框3"), 410);
}

TEST_F(MainWindowTest, FeatureSwitchesStayOff) {
  EXPECT_FALSE(window_.IsVisible("纵向滚动条1"));
  EXPECT_FALSE(window_.IsVisible("选择框1"));
  EXPECT_EQ(window_.Checked("选择框1"), 0);

  int clicks = 0;
  window_.SetHandler("选择框1", Event::kClick, [&] { ++clicks; });
  EXPECT_FALSE(window_.UserClick("选择框1"));
  EXPECT_FALSE(window_.UserScroll("纵向滚动条1", 50));

  EXPECT_EQ(window_.Checked("选择框1"), 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(window_.ScrollPosition("纵向滚动条1"), 1);
  // Their siblings are shown: the hiding is their own flag, not the pane's.
  EXPECT_TRUE(window_.IsVisible("单选框4"));
  EXPECT_TRUE(window_.IsVisible("分组框3"));
}

TEST_F(MainWindowTest, PageChildrenShowOnlyWithTheirPage) {
  for (int page = 0; page < 7; ++page) {
    SCOPED_TRACE(page);
    window_.SetCurrentPage("选择夹2", page);
    EXPECT_EQ(window_.CurrentPage("选择夹2"), page);
    EXPECT_EQ(window_.IsVisible("标签24"), page == 1);
    EXPECT_EQ(window_.IsVisible("超文本浏览框3"), page == 4);
    EXPECT_EQ(window_.IsVisible("超级列表框1"), page == 5);
    EXPECT_TRUE(window_.IsVisible("分组框6"));
  }
}

TEST_F(MainWindowTest, OutOfRangeIndexesReadEmptyAndWriteNothing) {
  const char* const kTable = "超级列表框1";
  EXPECT_EQ(window_.Cell(kTable, 0, 0), "");
  EXPECT_EQ(window_.InsertRow(kTable), 0);
  EXPECT_EQ(window_.InsertRow(kTable), 1);
  EXPECT_EQ(window_.Snapshot(kTable).rows[1].size(), 10u);

  window_.SetCell(kTable, 1, 9, "last");
  window_.SetCell(kTable, 2, 0, "no such row");
  window_.SetCell(kTable, 0, 10, "no such column");
  window_.SetCell(kTable, -1, 0, "no such row");
  EXPECT_EQ(window_.Cell(kTable, 1, 9), "last");
  EXPECT_EQ(window_.Cell(kTable, 0, 10), "");
  EXPECT_EQ(window_.Cell(kTable, 2, 0), "");
  EXPECT_EQ(window_.Cell(kTable, -1, 0), "");
  EXPECT_THAT(window_.Snapshot(kTable).rows[0], ::testing::Each(""));

  const int current = window_.CurrentRow(kTable);
  EXPECT_EQ(current, -1);
  window_.DeleteRow(kTable, current);
  window_.DeleteRow(kTable, 2);
  EXPECT_EQ(window_.RowCount(kTable), 2);

  EXPECT_EQ(window_.ItemText("组合框1", 3), "");
  EXPECT_EQ(window_.ItemText("组合框1", -1), "");
  window_.SetSelectedIndex("组合框1", 1);
  window_.SetSelectedIndex("组合框1", 3);
  EXPECT_EQ(window_.SelectedIndex("组合框1"), 1);

  window_.SetCurrentPage("选择夹2", 3);
  window_.SetCurrentPage("选择夹2", 7);
  window_.SetCurrentPage("选择夹2", -1);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), 3);
}

TEST_F(MainWindowTest, DeletingRowsKeepsTheCurrentRowOnItsRow) {
  const char* const kUrls = "网址超级列表框";
  window_.SetCurrentPage("选择夹2", 6);
  for (const char* address : {"a", "b", "c"}) {
    window_.SetCell(kUrls, window_.InsertRow(kUrls), 0, address);
  }
  window_.UserPickRow(kUrls, 2);
  window_.DeleteRow(kUrls, 0);
  EXPECT_EQ(window_.CurrentRow(kUrls), 1);
  EXPECT_EQ(window_.Cell(kUrls, 1, 0), "c");
  window_.DeleteRow(kUrls, 1);
  EXPECT_EQ(window_.CurrentRow(kUrls), -1);
}

struct MisuseCase {
  const char* name;
  std::function<void(MainWindow&)> call;
};

void PrintTo(const MisuseCase& c, std::ostream* out) { *out << c.name; }

class MainWindowMisuseTest : public MainWindowTest,
                             public ::testing::WithParamInterface<MisuseCase> {};

TEST_P(MainWindowMisuseTest, ThrowsUnknownControl) {
  EXPECT_THROW(GetParam().call(window_), UnknownControl);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, MainWindowMisuseTest,
    ::testing::Values(
        MisuseCase{"unknown_text", [](MainWindow& w) { w.Text("编辑框99"); }},
        MisuseCase{"unknown_visibility", [](MainWindow& w) { w.IsVisible("nothing"); }},
        MisuseCase{"unknown_handler",
                   [](MainWindow& w) { w.SetHandler("按钮99", Event::kClick, {}); }},
        MisuseCase{"add_item_to_edit_box", [](MainWindow& w) { w.AddItem("编辑框1", "x"); }},
        MisuseCase{"checked_of_button", [](MainWindow& w) { w.Checked("按钮1"); }},
        MisuseCase{"insert_row_into_combo_box", [](MainWindow& w) { w.InsertRow("组合框1"); }},
        MisuseCase{"page_of_group_box", [](MainWindow& w) { w.SetCurrentPage("分组框3", 0); }},
        MisuseCase{"scroll_of_edit_box", [](MainWindow& w) { w.ScrollPosition("编辑框1"); }},
        MisuseCase{"append_to_label", [](MainWindow& w) { w.AppendText("标签1", "x"); }},
        MisuseCase{"text_of_list_view", [](MainWindow& w) { w.Text("超级列表框1"); }},
        MisuseCase{"navigate_edit_box", [](MainWindow& w) { w.Navigate("编辑框8", "x"); }},
        MisuseCase{"select_in_list_view", [](MainWindow& w) { w.UserSelect("超级列表框1", 0); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainWindowTest, FindRowExactOrIgnoringAsciiCase) {
  const char* const kTable = "超级列表框1";
  // "\x81\x41" and "\x81\x61" are two GBK characters whose trail bytes look like 'A' and 'a'.
  for (const char* id : {"Ab1", "ab1", "\x81\x41", "x"}) {
    window_.SetCell(kTable, window_.InsertRow(kTable), 0, id);
  }
  window_.SetCell(kTable, 3, 1, "ab1");

  struct Case {
    std::string text;
    int column;
    bool ignore_case;
    int row;
  };
  const Case kCases[] = {
      {"ab1", 0, false, 1},  {"AB1", 0, false, -1},     {"AB1", 0, true, 0},
      {"aB1", 1, true, 3},   {"\x81\x41", 0, false, 2}, {"\x81\x61", 0, true, -1},
      {"ab1", 10, true, -1}, {"ab1", -1, false, -1},    {"", 0, false, -1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(window_.FindRow(kTable, c.text, c.column, c.ignore_case), c.row)
        << c.text << " in column " << c.column << (c.ignore_case ? " ignoring case" : "");
  }
}

TEST_F(MainWindowTest, TextOperations) {
  window_.SetText("编辑框8", "first\r\n");
  window_.AppendText("编辑框8", "second\r\n");
  EXPECT_EQ(window_.Text("编辑框8"), "first\r\nsecond\r\n");

  window_.SetSelectedIndex("组合框2", 1);
  EXPECT_EQ(window_.Text("组合框2"), "按关键词拼音命名"_gbk);
  window_.ClearItems("组合框2");
  EXPECT_EQ(window_.ItemCount("组合框2"), 0);
  EXPECT_EQ(window_.SelectedIndex("组合框2"), -1);
  window_.AddItem("列表框1", "模板一"_gbk);
  EXPECT_EQ(window_.ItemText("列表框1", 0), "模板一"_gbk);

  window_.UserType("编辑框7", "4a0-");
  EXPECT_EQ(window_.Text("编辑框7"), "40-");
  window_.UserType("佣金比例编辑框", "1.5");
  EXPECT_EQ(window_.Text("佣金比例编辑框"), "1.5");
}

TEST_F(MainWindowTest, RadioButtonsOfOneParentFormAGroup) {
  window_.SetChecked("单选框8", 1);
  window_.UserClick("单选框2");
  window_.UserClick("单选框3");
  EXPECT_EQ(window_.Checked("单选框1"), 0);
  EXPECT_EQ(window_.Checked("单选框2"), 0);
  EXPECT_EQ(window_.Checked("单选框3"), 1);
  EXPECT_EQ(window_.Checked("单选框8"), 1) << "another parent, another group";

  window_.UserClick("选择框2");
  EXPECT_EQ(window_.Checked("选择框2"), 1);
  window_.UserClick("选择框2");
  EXPECT_EQ(window_.Checked("选择框2"), 0);
}

TEST_F(MainWindowTest, DisabledOrHiddenControlsTakeNoInput) {
  int clicks = 0;
  window_.SetHandler("单选框1", Event::kClick, [&] { ++clicks; });
  window_.SetEnabled("单选框1", false);
  EXPECT_FALSE(window_.IsEnabled("单选框1"));
  EXPECT_FALSE(window_.UserClick("单选框1"));
  EXPECT_EQ(window_.Checked("单选框1"), 0);

  window_.SetEnabled("单选框1", true);
  EXPECT_TRUE(window_.UserClick("单选框1"));
  EXPECT_EQ(window_.Checked("单选框1"), 1);
  EXPECT_EQ(clicks, 1);

  // 资源组合框1 lies on page 6, not current.
  EXPECT_FALSE(window_.UserSelect("资源组合框1", 0));
  EXPECT_EQ(window_.SelectedIndex("资源组合框1"), -1);
}

TEST_F(MainWindowTest, WritesRaiseNoEventButUserInputAndRaiseDo) {
  std::vector<std::string> calls;
  window_.SetHandler("组合框1", Event::kItemSelected, [&] { calls.push_back("selected"); });
  // A handler runs outside the model lock, so it may use the window itself.
  window_.SetHandler("单选框4", Event::kClick, [&] { window_.SetCurrentPage("选择夹2", 2); });

  window_.SetSelectedIndex("组合框1", 1);
  window_.SetChecked("单选框4", 1);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(window_.CurrentPage("选择夹2"), 0);

  EXPECT_TRUE(window_.UserSelect("组合框1", 2));
  EXPECT_EQ(window_.SelectedIndex("组合框1"), 2);
  EXPECT_TRUE(window_.Raise("组合框1", Event::kItemSelected));
  EXPECT_THAT(calls, ElementsAre("selected", "selected"));

  EXPECT_TRUE(window_.UserClick("单选框4"));
  EXPECT_EQ(window_.CurrentPage("选择夹2"), 2);

  EXPECT_FALSE(window_.Raise("编辑框1", Event::kClick));
  EXPECT_FALSE(window_.UserClick("按钮1"));  // took effect, but no handler ran
}

TEST_F(MainWindowTest, ObserversHearOfChangesAfterTheLock) {
  std::vector<std::pair<std::string, Property>> heard;
  std::string text_seen;
  const int id = window_.AddObserver([&](const Change& change) {
    heard.emplace_back(change.control, change.property);
    // Reading back proves the change landed and the lock was released.
    if (change.property == Property::kText) text_seen = window_.Text(change.control);
  });

  window_.SetText("编辑框1", "连衣裙"_gbk);
  const int row = window_.InsertRow("超级列表框转换链接");
  window_.SetCell("超级列表框转换链接", row, 5, "out of range");
  window_.UserClick("单选框2");
  window_.Navigate("超文本浏览框2", "file:///preview.htm");

  using P = Property;
  EXPECT_THAT(heard, ElementsAre(std::pair<std::string, P>{"编辑框1", P::kText},
                                 std::pair<std::string, P>{"超级列表框转换链接", P::kRows},
                                 std::pair<std::string, P>{"单选框2", P::kChecked},
                                 std::pair<std::string, P>{"超文本浏览框2", P::kAddress}));
  EXPECT_EQ(text_seen, "连衣裙"_gbk);
  EXPECT_EQ(window_.Address("超文本浏览框2"), "file:///preview.htm");

  window_.RemoveObserver(id);
  window_.SetText("编辑框1", "");
  EXPECT_EQ(heard.size(), 4u);
}

TEST_F(MainWindowTest, ListViewColumnsAsCreated) {
  struct Expected {
    const char* list_view;
    std::vector<Column> columns;
  };
  const Expected kTables[] = {
      {"超级列表框1",
       {{"宝贝id"_gbk, 100},
        {"宝贝标题"_gbk, 100},
        {"商家名称"_gbk, 50},
        {"店铺id"_gbk, 50},
        {"转换后商家链接"_gbk, 50},
        {"信誉图片"_gbk, 50},
        {"商品图片"_gbk, 50},
        {"商品价格"_gbk, 50},
        {"商品数量"_gbk, 50},
        {"促销价"_gbk, 50}}},
      {"超级列表框转换链接", {{"1", 80}, {"2", 80}, {"3", 80}, {"4", 80}}},
      {"自定义超级列表框", {{"网址"_gbk, 50}, {"特价"_gbk, 50}}},
      {"网址超级列表框", {{"       网  址  列  表"_gbk, 200}}},
  };
  for (const Expected& table : kTables) {
    SCOPED_TRACE(table.list_view);
    const std::vector<Column> columns = window_.Snapshot(table.list_view).columns;
    ASSERT_EQ(columns.size(), table.columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
      EXPECT_EQ(columns[i].caption, table.columns[i].caption) << i;
      EXPECT_EQ(columns[i].width, table.columns[i].width) << i;
    }
  }
}

TEST_F(MainWindowTest, HaltedWorkerTouchesNothing) {
  platform::CancelToken token;
  token.Cancel();
  std::vector<std::string> outcomes;
  std::thread worker([&] {
    platform::ScopedThreadToken bound(token);
    const std::vector<std::function<void()>> operations = {
        [&] { window_.SetText("编辑框8", "late"); },
        [&] { window_.InsertRow("超级列表框1"); },
        [&] { window_.Text("编辑框8"); },
        [&] { window_.Navigate("超文本浏览框1", "https://late.example/"); },
        [&] { window_.MessageBox("late"); },
        [&] { window_.UserClick("单选框1"); },
    };
    for (const auto& operation : operations) {
      try {
        operation();
        outcomes.push_back("ran");
      } catch (const platform::Halted&) {
        outcomes.push_back("halted");
      }
    }
  });
  worker.join();

  EXPECT_THAT(outcomes, ::testing::Each("halted"));
  EXPECT_EQ(window_.Text("编辑框8"), "");
  EXPECT_EQ(window_.RowCount("超级列表框1"), 0);
  EXPECT_EQ(window_.Address("超文本浏览框1"), "");
  EXPECT_TRUE(host_.MessageBoxes().empty());
  EXPECT_EQ(window_.Checked("单选框1"), 0);
}

// The stop button's promise: once Cancel returns, no write of the worker lands any more.
TEST_F(MainWindowTest, NoWriteLandsAfterCancelReturns) {
  platform::CancelToken token;
  std::atomic<int> appended{0};
  std::atomic<bool> halted{false};
  std::thread worker([&] {
    platform::ScopedThreadToken bound(token);
    try {
      // Bounded, so a model that ignores the halt fails the test instead of hanging it.
      for (int after_cancel = 0; after_cancel < 1000;) {
        window_.AppendText("编辑框8", "x");
        ++appended;
        if (token.IsCancelled()) ++after_cancel;
      }
    } catch (const platform::Halted&) {
      halted = true;
    }
  });
  while (appended.load() < 100) std::this_thread::yield();
  token.Cancel();
  const std::string at_cancel = window_.Text("编辑框8");
  worker.join();

  EXPECT_TRUE(halted);
  EXPECT_EQ(window_.Text("编辑框8"), at_cancel);
  EXPECT_GE(at_cancel.size(), 100u);
}

}  // namespace
}  // namespace pagoling::ui
