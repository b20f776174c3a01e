#include "generate/page_assembly.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "generate/product_count.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "ui/headless_host.h"

namespace pagoling::generate {
namespace {

using testing::Gbk;
using testing::ReadBytes;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct CountCase {
  std::string name;
  std::string count_text_utf8;
  int rows;
  int expected;
  friend void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }
};

class ProductCountRuleTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(ProductCountRuleTest, SmallerOfRowsAndCount) {
  const CountCase& c = GetParam();
  EXPECT_EQ(PageProductCount(c.rows, ProductCountValue(Gbk(c.count_text_utf8))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ProductCountRuleTest,
    ::testing::Values(CountCase{"count_below_rows", "10", 25, 10},
                      CountCase{"rows_below_count", "10", 6, 6},
                      CountCase{"fraction_truncated", "10.9", 25, 10},
                      CountCase{"full_width_digits", "１０", 25, 10},
                      CountCase{"just_above_rows_within_slack", "6.00000001", 6, 6},
                      CountCase{"above_rows_beyond_slack", "6.001", 6, 6},
                      CountCase{"huge_count", "1e300", 5, 5}, CountCase{"empty", "", 25, 0},
                      CountCase{"not_a_number", "abc", 25, 0}, CountCase{"zero", "0", 25, 0},
                      CountCase{"negative", "-3", 25, 0},
                      CountCase{"huge_negative", "-1e300", 25, 0}),
    [](const auto& row) { return row.param.name; });

struct ReplaceCase {
  std::string name;
  std::string text;
  std::string value;
  std::string expected;
  friend void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }
};

class ReplaceVariableTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceVariableTest, EveryOccurrenceOnCharacterStarts) {
  const ReplaceCase& c = GetParam();
  EXPECT_EQ(ReplaceVariable(c.text, Gbk("[#商品标题#]"), c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplaceVariableTest,
    ::testing::Values(
        ReplaceCase{"every_occurrence", Gbk("<[#商品标题#]|[#商品标题#]>"), "T", "<T|T>"},
        ReplaceCase{"inserted_text_not_searched_again", Gbk("[#商品标题#]-[#商品标题#]"),
                    Gbk("([#商品标题#])"), Gbk("([#商品标题#])-([#商品标题#])")},
        // 0x81 0x5B is one GBK character whose second byte is "[": no variable starts there.
        ReplaceCase{"not_inside_a_character", "\x81" + Gbk("[#商品标题#]"), "T",
                    "\x81" + Gbk("[#商品标题#]")},
        ReplaceCase{"after_a_whole_character", Gbk("裙[#商品标题#]"), "T", Gbk("裙T")},
        ReplaceCase{"case_sensitive_exact", Gbk("[#商品标题#"), "T", Gbk("[#商品标题#")}),
    [](const auto& row) { return row.param.name; });

class AssemblePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(TemplateFolder());
    window_.SetText("编辑框2", Gbk("高贵"));
    window_.SetText("编辑框7", "10");
    window_.SetSelectedIndex("组合框2", 0);
  }

  fs::path TemplateFolder() const { return dir_.Path() / "单页生成" / "模板" / "高贵"; }

  // Columns: 0 id, 1 title, 2 seller, 4 shop link, 5 credit picture, 6 picture, 7 price,
  // 8 sales, 9 promotion price.
  void AddProduct(const std::vector<std::string>& utf8_cells) {
    const int row = window_.InsertRow("超级列表框1");
    for (std::size_t column = 0; column < utf8_cells.size(); ++column) {
      window_.SetCell("超级列表框1", row, static_cast<int>(column), Gbk(utf8_cells[column]));
    }
  }
  void AddLink(const std::string& link, const std::string& title_utf8) {
    const int row = window_.InsertRow("超级列表框转换链接");
    window_.SetCell("超级列表框转换链接", row, 0, link);
    window_.SetCell("超级列表框转换链接", row, 1, Gbk(title_utf8));
  }
  void UseTemplate(const std::string& head, const std::string& loop, const std::string& tail) {
    window_.SetText("编辑框3", Gbk(head));
    window_.SetText("编辑框4", Gbk(loop));
    window_.SetText("编辑框5", Gbk(tail));
  }
  std::string Assemble(const std::string& keyword_utf8) {
    return AssemblePage(window_, pacer_, net::Endpoints{}, Gbk(keyword_utf8));
  }
  // Every file under the run directory, relative to it.
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.Path())) {
      if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), dir_.Path()).string());
    }
    return files;
  }

  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
  platform::RecordingPacer pacer_;
};

TEST_F(AssemblePageTest, WritesHeadLoopPerProductAndTail) {
  UseTemplate("<h>[#关键词#][#商品标题#]\r\n",
              "[#商品排名#]|[#关键词#]|[#商品图片地址#]|[#商品网址#]|[#商品标题#]|[#商品销售量#]|"
              "[#卖家昵称#]|[#商品价格#]|[#店铺网址#]|[#信誉图片地址#]\r\n",
              "[#关键词#][#商品网址#]</t>");
  AddProduct({"1", "红裙", "卖家甲", "s1", "http://shop/1", "http://c/1.gif", "http://p/1.jpg",
              "99.00", "12", "88.00"});
  AddProduct({"2", "蓝裙", "卖家乙", "s2", "", "", "", "50.00", "3", ""});
  AddProduct({"3", "白裙", "卖家丙", "s3", "", "", "", "1.00", "0", ""});
  AddLink("http://other", "红裙 ");  // not the same title
  AddLink("http://link/1", "红裙");
  AddLink("http://link/1-later", "红裙");
  window_.SetText("编辑框7", "2");

  EXPECT_EQ(Assemble("连衣裙"), Gbk("连衣裙"));

  // Head and tail get the keyword only; the second product has no link and no picture; its
  // empty promotion price gives way to the price.
  EXPECT_EQ(ReadBytes(TemplateFolder() / "连衣裙.htm"),
            Gbk("<h>连衣裙[#商品标题#]\r\n"
                "1|连衣裙|http://p/1.jpg_320x320.jpg|http://link/1|红裙|12|卖家甲|88.00|"
                "http://shop/1|http://c/1.gif\r\n"
                "2|连衣裙|_320x320.jpg||蓝裙|3|卖家乙|50.00||\r\n"
                "连衣裙[#商品网址#]</t>"));
  EXPECT_THAT(window_.Text("编辑框8"), IsEmpty());
  EXPECT_THAT(pacer_.Pauses(), IsEmpty());
}

TEST_F(AssemblePageTest, LaterVariablesSearchTextInsertedByEarlierOnes) {
  UseTemplate("", "[#商品标题#]/[#商品价格#]", "");
  AddProduct({"1", "裙[#商品价格#]", "", "", "", "", "", "[#商品标题#]", "", ""});
  Assemble("k");
  EXPECT_EQ(ReadBytes(TemplateFolder() / "k.htm"), Gbk("裙[#商品标题#]/[#商品标题#]"));
}

TEST_F(AssemblePageTest, NoProductsGivesHeadAndTail) {
  UseTemplate("H", "L", "T");
  AddProduct({"1", "a"});
  window_.SetText("编辑框7", "");
  Assemble("k");
  EXPECT_EQ(ReadBytes(TemplateFolder() / "k.htm"), "HT");
}

TEST_F(AssemblePageTest, PinyinNamingNamesTheFileButKeepsTheKeywordInside) {
  UseTemplate("[#关键词#]", "", "");
  window_.SetSelectedIndex("组合框2", 1);
  EXPECT_EQ(Assemble("连衣裙"), "lianyiqun");
  EXPECT_EQ(ReadBytes(TemplateFolder() / "lianyiqun.htm"), Gbk("连衣裙"));
  EXPECT_THAT(Files(), ElementsAre(fs::path("单页生成/模板/高贵/lianyiqun.htm").string()));
}

TEST_F(AssemblePageTest, EmptySuffixEndsTheNameInAFullStop) {
  UseTemplate("x", "", "");
  window_.SetText("编辑框9", "");
  Assemble("裙");
  EXPECT_EQ(ReadBytes(TemplateFolder() / "裙."), "x");
}

TEST_F(AssemblePageTest, ExistingPageIsReplaced) {
  std::ofstream(TemplateFolder() / "k.htm", std::ios::binary) << "old content, longer than new";
  UseTemplate("new", "", "");
  Assemble("k");
  EXPECT_EQ(ReadBytes(TemplateFolder() / "k.htm"), "new");
}

TEST_F(AssemblePageTest, UnwritablePageLogsTheFailureLine) {
  fs::remove_all(TemplateFolder());
  UseTemplate("x", "", "");
  EXPECT_EQ(Assemble("连衣裙"), Gbk("连衣裙"));
  EXPECT_EQ(window_.Text("编辑框8"), Gbk("添加失败，请按正确方法操作\r\n"));
  EXPECT_THAT(pacer_.Pauses(), ElementsAre(200));
  EXPECT_THAT(Files(), IsEmpty());
}

struct EscapeCase {
  std::string name;
  std::string keyword_utf8;
  std::string template_name_utf8;
  std::string suffix;
  friend void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }
};

class PageNameEscapeTest : public AssemblePageTest,
                           public ::testing::WithParamInterface<EscapeCase> {};

// A name that would lead out of the template's folder is not written anywhere, even where the
// folder it names exists.
TEST_P(PageNameEscapeTest, NothingWrittenAndTheFailureLogged) {
  const EscapeCase& c = GetParam();
  // Folders that would let the write succeed if the name were taken as it stands.
  for (const char* folder : {"a", "tmp", "k.htm"})
    fs::create_directories(TemplateFolder() / folder);
  fs::create_directories(dir_.Path() / "单页生成" / "模板" / "x");
  UseTemplate("x", "", "");
  window_.SetText("编辑框2", Gbk(c.template_name_utf8));
  window_.SetText("编辑框9", c.suffix);
  Assemble(c.keyword_utf8);
  EXPECT_THAT(Files(), IsEmpty());
  EXPECT_EQ(window_.Text("编辑框8"), Gbk("添加失败，请按正确方法操作\r\n"));
  EXPECT_THAT(pacer_.Pauses(), ElementsAre(200));
}

INSTANTIATE_TEST_SUITE_P(
    Names, PageNameEscapeTest,
    ::testing::Values(EscapeCase{"slash", "a/b", "高贵", "htm"},
                      EscapeCase{"backslash", "a\\b", "高贵", "htm"},
                      EscapeCase{"parent_folder", "../x/逃", "高贵", "htm"},
                      EscapeCase{"parent_folder_backslash", "..\\..\\逃", "高贵", "htm"},
                      EscapeCase{"absolute_path", "/tmp/逃", "高贵", "htm"},
                      EscapeCase{"drive_prefix", "C:逃", "高贵", "htm"},
                      EscapeCase{"suffix_with_separator", "k", "高贵", "htm/../../逃"},
                      EscapeCase{"template_name_parent", "k", "..", "htm"},
                      EscapeCase{"template_name_nested", "k", "高贵/a", "htm"},
                      EscapeCase{"template_name_empty", "k", "", "htm"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace pagoling::generate
