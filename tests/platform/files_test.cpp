#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/temp_dir.h"

namespace pagoling::platform {
namespace {

using literals::operator""_gbk;
namespace fs = std::filesystem;
using pagoling::testing::TempDir;

TEST(NativePathTest, SeparatorsAndNamesBecomeNative) {
  EXPECT_EQ(NativePath("a\\b/c\\d.txt"), fs::path("a/b/c/d.txt"));
  EXPECT_EQ(NativePath("页面\\连衣裙.htm"_gbk), fs::path("页面/连衣裙.htm"));
  // The second byte of 乗 is '\\': it is part of the name, not a separator.
  EXPECT_EQ(NativePath("模板\\乗.txt"_gbk), fs::path("模板/乗.txt"));
}

TEST(FilesTest, GbkPathNamesTheFileInUtf8OnDisk) {
  TempDir dir;
  const std::string page = dir.Gbk() + "\\" + "连衣裙.htm"_gbk;
  ASSERT_TRUE(WriteWholeFile(page, "<html>"));
  EXPECT_TRUE(fs::is_regular_file(dir.Path() / "连衣裙.htm"));
  EXPECT_TRUE(FileExists(dir.Gbk() + "/" + "连衣裙.htm"_gbk));
  EXPECT_EQ(ReadWholeFile(page), "<html>");
}

TEST(FilesTest, ContentRoundTripsByteForByte) {
  TempDir dir;
  const std::string path = dir.Gbk() + "\\data.bin";
  const std::string bytes("line\r\n\0\x80\xFF\xCD\xCB\n", 12);
  ASSERT_TRUE(WriteWholeFile(path, bytes));
  EXPECT_EQ(ReadWholeFile(path), bytes);
  // A second write replaces the content, it does not append or keep a longer tail.
  ASSERT_TRUE(WriteWholeFile(path, "ab"));
  EXPECT_EQ(ReadWholeFile(path), "ab");
  ASSERT_TRUE(WriteWholeFile(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(FilesTest, MissingOrUnreadablePathsGiveNothing) {
  TempDir dir;
  EXPECT_EQ(ReadWholeFile(dir.Gbk() + "\\missing.txt"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(dir.Gbk()), std::nullopt);  // a folder is not a file
  EXPECT_FALSE(WriteWholeFile(dir.Gbk() + "\\no\\such\\folder.txt", "x"));
  EXPECT_FALSE(FileExists(dir.Gbk() + "\\missing.txt"));
  EXPECT_TRUE(ListFolder(dir.Gbk() + "\\missing\\*.*").empty());
}

TEST(FilesTest, CreateAndDeleteByGbkPath) {
  TempDir dir;
  const std::string folder = dir.Gbk() + "\\" + "高贵大气"_gbk;
  EXPECT_TRUE(CreateFolder(folder));
  EXPECT_TRUE(CreateFolder(folder));  // already there counts as success
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_TRUE(fs::is_directory(dir.Path() / "高贵大气"));
  EXPECT_FALSE(DeleteFile(folder));  // folders are not deleted as files

  const std::string file = folder + "/" + "模板.htm"_gbk;
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
}

class ListFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"高贵大气", ".svn"}) fs::create_directory(dir_.Path() / folder);
    for (const char* file : {"b.TXT", "a.txt", "ab.txt", "连衣裙.txt", "裙.txt", "readme",
                             "rule.ini", "乗1.txt", "😀.txt"}) {
      std::ofstream(dir_.Path() / file) << "x";
    }
  }

  // Pattern and names in UTF-8, for readable expectations.
  std::vector<std::string> Names(const std::string& pattern) const {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListFolder(dir_.Gbk() + "\\" + GbkFromUtf8(pattern))) {
      names.push_back(Utf8FromGbk(entry.name));
    }
    return names;
  }

  TempDir dir_;
};

// Names come in NTFS order: upper-cased UTF-16, so letter case does not split a.txt from B.TXT.
// A name GBK cannot write (😀) is left out.
TEST_F(ListFolderTest, StarDotStarListsEveryNameWithFlags) {
  const std::vector<FolderEntry> entries = ListFolder(dir_.Gbk() + "\\*.*");
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) {
    names.push_back(Utf8FromGbk(entry.name));
    const bool is_folder = entry.name == ".svn" || entry.name == "高贵大气"_gbk;
    EXPECT_EQ(entry.is_folder, is_folder) << names.back();
    EXPECT_EQ(entry.is_regular_file, !is_folder) << names.back();
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{".svn", "a.txt", "ab.txt", "b.TXT", "readme", "rule.ini",
                                      "乗1.txt", "裙.txt", "连衣裙.txt", "高贵大气"}));
}

TEST_F(ListFolderTest, PatternsMatchAsOnWindows) {
  EXPECT_EQ(Names("*.txt"), (std::vector<std::string>{"a.txt", "ab.txt", "b.TXT", "乗1.txt",
                                                      "裙.txt", "连衣裙.txt"}));
  // "?" is one character, and a Chinese character is two bytes.
  EXPECT_EQ(Names("?.txt"), (std::vector<std::string>{"a.txt", "b.TXT", "裙.txt"}));
  // The pattern's own '\\' trail byte must not be taken for a separator.
  EXPECT_EQ(Names("乗*.txt"), (std::vector<std::string>{"乗1.txt"}));
  EXPECT_EQ(Names("*.htm"), (std::vector<std::string>{}));
}

struct WildcardCase {
  std::string name;
  std::string pattern;
  std::string file_name;
  bool expected;
};

// Rows show as their name in test listings, not as a byte dump.
void PrintTo(const WildcardCase& row, std::ostream* out) { *out << row.name; }

class MatchesWildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(MatchesWildcardTest, Matches) {
  const WildcardCase& c = GetParam();
  EXPECT_EQ(MatchesWildcard(c.pattern, c.file_name), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, MatchesWildcardTest,
    ::testing::Values(WildcardCase{"star_dot_star_takes_names_without_dot", "*.*", "readme", true},
                      WildcardCase{"extension_any_case", "*.txt", "RULE.TxT", true},
                      WildcardCase{"other_extension", "*.txt", "rule.ini", false},
                      WildcardCase{"extension_must_end_name", "*.txt", "a.txt.bak", false},
                      WildcardCase{"star_matches_nothing", "*.txt", ".txt", true},
                      WildcardCase{"question_is_one_chinese_character", "?.txt", "裙.txt"_gbk,
                                   true},
                      WildcardCase{"question_is_not_two_letters", "?.txt", "ab.txt", false},
                      // 丄 and 乤 differ only in a second byte that happens to be 'A' or 'a'.
                      WildcardCase{"trail_letter_does_not_fold", "丄.txt"_gbk, "乤.txt"_gbk, false},
                      WildcardCase{"chinese_exact", "连衣裙.*"_gbk, "连衣裙.htm"_gbk, true}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace pagoling::platform
