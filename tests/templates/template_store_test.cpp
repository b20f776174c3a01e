#include "templates/template_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "ui/headless_host.h"
#include "ui/shell_handlers.h"

namespace pagoling::templates {
namespace {

using testing::Gbk;
using testing::ReadBytes;
using testing::Utf8;
using testing::WriteBytes;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The four editor boxes 编辑框2..编辑框5, as UTF-8.
struct Boxes {
  std::string name, head, loop, tail;
  bool operator==(const Boxes&) const = default;
};

void PrintTo(const Boxes& b, std::ostream* os) {
  *os << "{" << b.name << "|" << b.head << "|" << b.loop << "|" << b.tail << "}";
}

class TemplateStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Root()); }

  fs::path Root() const { return dir_.Path() / "单页生成" / "模板"; }
  fs::path TemplateFile(const std::string& name) const { return Root() / name / "模板文件.htm"; }

  // Lists the templates and selects the one named; the store is made of real folders.
  void Select(const std::string& name_utf8) {
    ListTemplates(window_);
    for (int i = 0; i < window_.ItemCount("列表框1"); ++i) {
      if (window_.ItemText("列表框1", i) == Gbk(name_utf8)) window_.SetSelectedIndex("列表框1", i);
    }
    ASSERT_EQ(Utf8(window_.ItemText("列表框1", window_.SelectedIndex("列表框1"))), name_utf8);
  }

  Boxes Editor() const {
    return {Utf8(window_.Text("编辑框2")), Utf8(window_.Text("编辑框3")),
            Utf8(window_.Text("编辑框4")), Utf8(window_.Text("编辑框5"))};
  }
  void Fill(const Boxes& boxes) {
    window_.SetText("编辑框2", Gbk(boxes.name));
    window_.SetText("编辑框3", Gbk(boxes.head));
    window_.SetText("编辑框4", Gbk(boxes.loop));
    window_.SetText("编辑框5", Gbk(boxes.tail));
  }
  std::vector<std::string> Messages() const { return Utf8(host_.MessageBoxes()); }
  // Every entry under the run directory, relative to it.
  std::vector<std::string> Tree() const { return testing::Tree(dir_.Path()); }

  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
};

TEST_F(TemplateStoreTest, SaveWritesTheFormatAndLoadGivesTheBoxesBack) {
  fs::create_directories(Root() / "甲");
  const Boxes saved{"高贵大气", "<html>\r\n头[#关键词#]", "<li>[#商品标题#]</li>\r\n", "尾\r\n"};
  Fill(saved);

  EXPECT_TRUE(SaveTemplate(window_));

  const std::string file = ReadBytes(TemplateFile("高贵大气"));
  EXPECT_EQ(file, Gbk("<html>\r\n头[#关键词#][#商品循环开始#]<li>[#商品标题#]</li>\r\n"
                      "[#商品循环结束#]尾\r\n"));
  EXPECT_THAT(Messages(), ElementsAre("保存模板成功"));
  // The list is filled again and its first entry selected, while the boxes keep what was saved.
  EXPECT_EQ(window_.ItemCount("列表框1"), 2);
  EXPECT_EQ(window_.SelectedIndex("列表框1"), 0);
  EXPECT_EQ(Editor(), saved);

  MakeTemplate(window_);
  EXPECT_EQ(Editor(), (Boxes{}));
  Select("高贵大气");
  ModifyTemplate(window_);
  EXPECT_EQ(Editor(), saved);

  EXPECT_TRUE(SaveTemplate(window_));
  EXPECT_EQ(ReadBytes(TemplateFile("高贵大气")), file);
}

TEST_F(TemplateStoreTest, SaveUnderAnExistingNameReplacesTheFile) {
  WriteBytes(TemplateFile("t"), "an older and much longer template file");
  Fill({"t", "A", "B", "C"});
  EXPECT_TRUE(SaveTemplate(window_));
  EXPECT_EQ(ReadBytes(TemplateFile("t")), Gbk("A[#商品循环开始#]B[#商品循环结束#]C"));
}

TEST_F(TemplateStoreTest, SaveWithoutTheTemplateRootSaysItFailed) {
  fs::remove_all(dir_.Path() / "单页生成");
  Fill({"t", "A", "B", "C"});
  EXPECT_FALSE(SaveTemplate(window_));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0], "保存模板成功");
  EXPECT_THAT(Tree(), IsEmpty());
}

class TemplateNameTest : public TemplateStoreTest,
                         public ::testing::WithParamInterface<std::string> {};

// A name that is not a plain folder name is refused before anything is created or written.
TEST_P(TemplateNameTest, RefusedAndNothingWritten) {
  fs::create_directories(Root() / "a");
  const std::vector<std::string> before = Tree();
  Fill({GetParam(), "A", "B", "C"});
  EXPECT_FALSE(SaveTemplate(window_));
  EXPECT_EQ(Tree(), before);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0], "保存模板成功");
}

INSTANTIATE_TEST_SUITE_P(Names, TemplateNameTest,
                         ::testing::Values("", ".", "..", "...", " ", "a/b", "a\\b", "../逃",
                                           "..\\..\\逃", "/tmp/逃", "C:逃"),
                         [](const auto& row) { return "case" + std::to_string(row.index); });

struct FileCase {
  std::string name;
  std::string file_utf8;
  std::string head, loop, tail;
  friend void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }
};

class LoadTemplateTest : public TemplateStoreTest,
                         public ::testing::WithParamInterface<FileCase> {};

TEST_P(LoadTemplateTest, PartsCutAtTheFirstMarkers) {
  const FileCase& c = GetParam();
  WriteBytes(TemplateFile("t"), Gbk(c.file_utf8));
  Select("t");
  Fill({"old", "old", "old", "old"});
  LoadTemplate(window_);
  EXPECT_EQ(Editor(), (Boxes{"t", c.head, c.loop, c.tail}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTemplateTest,
    ::testing::Values(
        FileCase{"both_markers", "A[#商品循环开始#]B[#商品循环结束#]C", "A", "B", "C"},
        FileCase{"no_marker", "just text", "", "", ""},
        FileCase{"only_start_marker", "A[#商品循环开始#]B", "A", "", ""},
        FileCase{"only_end_marker", "A[#商品循环结束#]C", "", "", "C"},
        FileCase{"two_loop_sections",
                 "H[#商品循环开始#]1[#商品循环结束#]M[#商品循环开始#]2[#商品循环结束#]T", "H", "1",
                 "M[#商品循环开始#]2[#商品循环结束#]T"},
        FileCase{"end_marker_ends_the_file", "H[#商品循环开始#]L[#商品循环结束#]", "H", "L", ""},
        FileCase{"end_before_start", "X[#商品循环结束#]Y[#商品循环开始#]Z", "X[#商品循环结束#]Y",
                 "", "Y[#商品循环开始#]Z"},
        FileCase{"empty_file", "", "", "", ""}),
    [](const auto& row) { return row.param.name; });

// The second byte of a GBK character can be "[": a marker is only found where a character starts.
TEST_F(TemplateStoreTest, MarkerInsideACharacterIsNotAMarker) {
  WriteBytes(TemplateFile("t"), "\x81" + Gbk("[#商品循环开始#]B[#商品循环结束#]C"));
  Select("t");
  LoadTemplate(window_);
  EXPECT_EQ(window_.Text("编辑框3"), "");
  EXPECT_EQ(window_.Text("编辑框4"), "");
  EXPECT_EQ(window_.Text("编辑框5"), "C");
}

TEST_F(TemplateStoreTest, MissingFileLoadsTheNameAndEmptyParts) {
  fs::create_directories(Root() / "空");
  Select("空");
  Fill({"x", "x", "x", "x"});
  LoadTemplate(window_);
  EXPECT_EQ(Editor(), (Boxes{"空", "", "", ""}));
}

TEST_F(TemplateStoreTest, ListShowsFoldersWithoutDotNamesAndSelectsQuietly) {
  fs::create_directories(Root() / "高贵大气");
  fs::create_directories(Root() / ".svn");
  WriteBytes(Root() / "readme.txt", "x");
  int selection_events = 0;
  window_.SetHandler("列表框1", ui::Event::kItemSelected, [&] { ++selection_events; });
  window_.AddItem("列表框1", "stale");

  ListTemplates(window_);

  ASSERT_EQ(window_.ItemCount("列表框1"), 1);
  EXPECT_EQ(Utf8(window_.ItemText("列表框1", 0)), "高贵大气");
  EXPECT_EQ(window_.SelectedIndex("列表框1"), 0);
  EXPECT_EQ(selection_events, 0);
  EXPECT_EQ(window_.Text("编辑框2"), "");  // nothing loaded
}

TEST_F(TemplateStoreTest, ExistenceChecksCountFilesOnly) {
  fs::create_directories(TemplateFile("t"));  // a folder named like the template file
  WriteBytes(Root() / "t" / "效果预览.htm", "p");
  Select("t");
  EXPECT_FALSE(TemplateFileExists(window_));
  EXPECT_TRUE(PreviewFileExists(window_));
  window_.ClearItems("列表框1");  // nothing selected
  EXPECT_FALSE(TemplateFileExists(window_));
  EXPECT_FALSE(PreviewFileExists(window_));
}

TEST_F(TemplateStoreTest, PreviewRadioButtonShowsAndLoadsOrExplains) {
  WriteBytes(TemplateFile("有"), Gbk("H[#商品循环开始#]L[#商品循环结束#]T"));
  WriteBytes(Root() / "有" / "效果预览.htm", "p");
  fs::create_directories(Root() / "无");

  Select("无");
  window_.SetCurrentPage("选择夹2", ui::kRunLogPage);
  ShowTemplatePreview(window_);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kPreviewPage);
  EXPECT_THAT(Messages(),
              ElementsAre("您没把预览文件放在指定位置，请按张以下方式放入。例如：软件目录/"
                          "单页生成/模板/高贵大气/效果预览.htm"));
  EXPECT_EQ(window_.Text("编辑框2"), "");
  EXPECT_EQ(window_.Address("超文本浏览框2"), "");

  Select("有");
  ShowTemplatePreview(window_);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Utf8(window_.Address("超文本浏览框2")),
            Utf8(dir_.Gbk()) + "/单页生成/模板/有/效果预览.htm");
  EXPECT_EQ(Editor(), (Boxes{"有", "H", "L", "T"}));
}

TEST_F(TemplateStoreTest, EditorRadioButtonShowsAndLoadsOrExplains) {
  WriteBytes(TemplateFile("有"), Gbk("H[#商品循环开始#]L[#商品循环结束#]T"));
  fs::create_directories(Root() / "无");

  Select("无");
  ShowTemplateEditor(window_);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kTemplateEditorPage);
  EXPECT_THAT(Messages(), ElementsAre("您没把模板放在指定位置，请按张以下方式放入。例如：软件目录/"
                                      "单页生成/模板/高贵大气/模板文件.htm"));
  EXPECT_EQ(window_.Text("编辑框2"), "");

  Select("有");
  ShowTemplateEditor(window_);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Editor(), (Boxes{"有", "H", "L", "T"}));
}

// Selecting in the list previews without checking the file and loads, leaving the page alone.
TEST_F(TemplateStoreTest, SelectingATemplatePreviewsAndLoads) {
  WriteBytes(TemplateFile("甲"), Gbk("H[#商品循环开始#]L[#商品循环结束#]T"));
  Select("甲");
  window_.SetCurrentPage("选择夹2", ui::kRunLogPage);
  OnTemplateSelected(window_);
  EXPECT_EQ(Utf8(window_.Address("超文本浏览框2")),
            Utf8(dir_.Gbk()) + "/单页生成/模板/甲/效果预览.htm");
  EXPECT_EQ(Editor(), (Boxes{"甲", "H", "L", "T"}));
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kRunLogPage);
  EXPECT_THAT(Messages(), IsEmpty());
}

}  // namespace
}  // namespace pagoling::templates
