#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace pagoling::platform {
namespace {

using literals::operator""_gbk;
namespace fs = std::filesystem;
using pagoling::testing::TempDir;

std::vector<std::string> FolderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// Texts in the tables are UTF-8 for reading; the file and the names are GBK, as the system uses
// them.
struct ReadCase {
  const char* name;
  const char* file;
  const char* section;
  const char* key;
  const char* expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsWindowsDoes) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Gbk() + "\\Config.ini";
  ASSERT_TRUE(WriteWholeFile(path, GbkFromUtf8(c.file)));
  EXPECT_EQ(Utf8FromGbk(GetPrivateProfileString(GbkFromUtf8(c.section), GbkFromUtf8(c.key),
                                                "default", path)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, ProfileReadTest,
    ::testing::Values(
        ReadCase{"gbk_names_and_value", "[配置]\r\n商品数量=20件\r\n", "配置", "商品数量", "20件"},
        ReadCase{"names_ignore_letter_case", "[EndPoints]\r\nPublisherHost=a\r\n", "endpoints",
                 "PUBLISHERHOST", "a"},
        ReadCase{"blanks_trimmed", "  [ s ]  \r\n \t key \t=  two words \t\r\n", "s", "key",
                 "two words"},
        ReadCase{"double_quotes_dropped", "[s]\r\nk= \"  padded  \" \r\n", "s", "k", "  padded  "},
        ReadCase{"single_quotes_dropped", "[s]\r\nk='x'\r\n", "s", "k", "x"},
        ReadCase{"unmatched_quotes_kept", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
        ReadCase{"lone_quote_kept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"value_after_first_equals", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"no_inline_comments", "[s]\r\nk=a ;b\r\n", "s", "k", "a ;b"},
        ReadCase{"comment_line_is_no_key", "[s]\r\n;k=1\r\nk=2\r\n", "s", "k", "2"},
        ReadCase{"first_duplicate_key_wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
        ReadCase{"first_section_of_a_name_wins", "[s]\r\nk=1\r\n[t]\r\nk=2\r\n[S]\r\nk=3\r\n", "s",
                 "k", "1"},
        ReadCase{"later_section_of_same_name_unread", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k",
                 "default"},
        ReadCase{"key_of_another_section_unread", "k=0\r\n[s]\r\n[t]\r\nk=2\r\n", "s", "k",
                 "default"},
        ReadCase{"empty_value_is_empty_not_default", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"missing_key", "[s]\r\nother=1\r\n", "s", "k", "default"},
        ReadCase{"missing_section", "[t]\r\nk=1\r\n", "s", "k", "default"},
        ReadCase{"lf_line_ends", "[s]\nk=v\n", "s", "k", "v"},
        ReadCase{"no_final_line_break", "[s]\r\nk=v", "s", "k", "v"},
        // The trail byte of 乚 is ']': the section name is the whole character.
        ReadCase{"section_name_with_bracket_trail_byte", "[乚]\r\nk=v\r\n", "乚", "k", "v"},
        // 丄 and 乤 differ only in a trail byte that looks like 'A' and 'a': no letter case there.
        ReadCase{"trail_bytes_never_fold", "[s]\r\n丄=1\r\n", "s", "乤", "default"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ProfileReadTest, MissingFileReadsDefault) {
  TempDir dir;
  EXPECT_EQ(GetPrivateProfileString("s", "k", "fallback", dir.Gbk() + "\\none.ini"), "fallback");
}

struct WriteCase {
  const char* name;
  std::optional<const char*> before;  // nothing: the file does not exist
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, WritesAsWindowsDoes) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Gbk() + "\\Config.ini";
  if (c.before) {
    ASSERT_TRUE(WriteWholeFile(path, GbkFromUtf8(*c.before)));
  }
  ASSERT_TRUE(WritePrivateProfileString(GbkFromUtf8(c.section), GbkFromUtf8(c.key),
                                        GbkFromUtf8(c.value), path));
  EXPECT_EQ(ReadWholeFile(path), GbkFromUtf8(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Ini, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"missing_file_created", std::nullopt, "配置", "hz", "htm",
                  "[配置]\r\nhz=htm\r\n"},
        WriteCase{"empty_file_gets_section", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"empty_value_gives_key_equals", std::nullopt, "s", "k", "", "[s]\r\nk=\r\n"},
        WriteCase{"existing_key_rewritten_in_place", "; top\r\n[s]\r\na=1\r\n k = old \r\nb=2\r\n",
                  "s", "k", "new", "; top\r\n[s]\r\na=1\r\nk=new\r\nb=2\r\n"},
        WriteCase{"key_keeps_its_spelling", "[Endpoints]\r\nPublisherHost=a\r\n", "ENDPOINTS",
                  "publisherhost", "b", "[Endpoints]\r\nPublisherHost=b\r\n"},
        WriteCase{"new_key_after_last_entry", "[s]\r\na=1\r\nb=2\r\n\r\n; next\r\n[t]\r\nx=1\r\n",
                  "s", "k", "v", "[s]\r\na=1\r\nb=2\r\nk=v\r\n\r\n; next\r\n[t]\r\nx=1\r\n"},
        WriteCase{"new_key_in_section_without_entries", "[s]\r\n[t]\r\n", "s", "k", "v",
                  "[s]\r\nk=v\r\n[t]\r\n"},
        WriteCase{"missing_section_appended_without_blank_line", "[t]\r\nx=1\r\n", "s", "k", "v",
                  "[t]\r\nx=1\r\n[s]\r\nk=v\r\n"},
        WriteCase{"missing_section_after_unterminated_line", "[t]\r\nx=1", "s", "k", "v",
                  "[t]\r\nx=1\r\n[s]\r\nk=v\r\n"},
        WriteCase{"blank_lines_at_end_kept", "[t]\r\nx=1\r\n\r\n", "s", "k", "v",
                  "[t]\r\nx=1\r\n\r\n[s]\r\nk=v\r\n"},
        WriteCase{"first_duplicate_rewritten", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3",
                  "[s]\r\nk=3\r\nk=2\r\n"},
        WriteCase{"first_section_of_a_name_gets_new_key", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k",
                  "3", "[s]\r\na=1\r\nk=3\r\n[s]\r\nk=2\r\n"},
        WriteCase{"comment_lookalike_not_rewritten", "[s]\r\n;k=1\r\n", "s", "k", "2",
                  "[s]\r\nk=2\r\n;k=1\r\n"},
        WriteCase{"lf_lines_become_cr_lf", "[s]\nk=1\n", "s", "k", "2", "[s]\r\nk=2\r\n"},
        // A line break would write stray lines that read back as a section and a key of their own.
        WriteCase{"line_break_in_value_cut", "[s]\r\nk=1\r\n", "s", "k", "a\r\n[t]\r\nb=1",
                  "[s]\r\nk=a\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ProfileWriteTest, OtherBytesStayByteForByte) {
  TempDir dir;
  const std::string path = dir.Gbk() + "\\Config.ini";
  // Bytes that no conversion would give back unchanged: the euro byte, 0xFF, a user-defined
  // character, a lone lead byte at a line end, and a tab inside a value.
  const std::string odd_bytes = "; \x80\xFF\xA2\xE3 \x81\r\n";
  const std::string before = odd_bytes + "[配置]\r\nhz = \thtm\t\r\n"_gbk +
                             "[endpoints]\r\nPublisherHost=127.0.0.1:8800\r\n";
  ASSERT_TRUE(WriteWholeFile(path, before));
  ASSERT_TRUE(WritePrivateProfileString("配置"_gbk, "mm", "mm_1_2_3", path));
  EXPECT_EQ(ReadWholeFile(path), odd_bytes + "[配置]\r\nhz = \thtm\t\r\nmm=mm_1_2_3\r\n"_gbk +
                                     "[endpoints]\r\nPublisherHost=127.0.0.1:8800\r\n");
  EXPECT_EQ(GetPrivateProfileString("配置"_gbk, "hz", "", path), "htm");
}

TEST(ProfileWriteTest, ReplacementLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Gbk() + "\\Config.ini";
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(WritePrivateProfileString("s", "k" + std::to_string(i), "v", path));
  }
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"Config.ini"});
  EXPECT_EQ(GetPrivateProfileString("s", "k4", "", path), "v");
}

TEST(ProfileWriteTest, FolderThatCannotHoldTheFileReportsFalse) {
  TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir.Gbk() + "\\file", "x"));
  // Tests run as root, which may write into any folder: a parent that is a regular file fails
  // for everyone.
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", dir.Gbk() + "\\file\\Config.ini"));
  EXPECT_EQ(ReadWholeFile(dir.Gbk() + "\\file"), "x");
}

// A disk that fills up during the save: the write of the new content fails part way. The old file
// must stay whole and no temporary file may be left behind.
TEST(ProfileWriteTest, FullDiskKeepsTheOldFileWhole) {
  TempDir dir;
  const std::string path = dir.Gbk() + "\\Config.ini";
  const std::string before = "[配置]\r\nhz=htm\r\nmm=mm_10011550_0_0\r\n"_gbk;
  ASSERT_TRUE(WriteWholeFile(path, before));

  bool written = true;
  {
    const pagoling::testing::ScopedFileSizeLimit full_disk(before.size());
    written = WritePrivateProfileString("配置"_gbk, "yj", "1.5", path);
  }

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"Config.ini"});
}

}  // namespace
}  // namespace pagoling::platform
