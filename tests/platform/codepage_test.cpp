#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pagoling::platform {
namespace {

struct TableCase {
  std::string name;
  std::string gbk;
  std::u16string utf16;
};

// Rows show as their name in test listings, not as a byte dump.
void PrintTo(const TableCase& row, std::ostream* out) { *out << row.name; }

class CodePage936Test : public testing::TestWithParam<TableCase> {};

TEST_P(CodePage936Test, MapsBothWaysAsWindowsDoes) {
  const TableCase& c = GetParam();
  EXPECT_EQ(ToUtf16(c.gbk, CodePage::kGbk), c.utf16);
  EXPECT_EQ(FromUtf16(c.utf16, CodePage::kGbk), c.gbk);
}

// Where Windows' table differs from a plain GBK table: the single bytes 0x80 and 0xFF, the
// user-defined areas and the gaps mapped to private-use characters.
INSTANTIATE_TEST_SUITE_P(Table, CodePage936Test,
                         testing::Values(TableCase{"exit_label", "\xCD\xCB\xB3\xF6", u"退出"},
                                         TableCase{"ascii", "a\\b", u"a\\b"},
                                         TableCase{"euro_at_0x80", "\x80", u"\u20AC"},
                                         TableCase{"byte_0xff", "\xFF", u"\uF8F5"},
                                         TableCase{"gap_a2e3", "\xA2\xE3", u"\uE76C"},
                                         TableCase{"user_area_aaa1", "\xAA\xA1", u"\uE000"},
                                         TableCase{"user_area_f8a1", "\xF8\xA1", u"\uE234"},
                                         TableCase{"user_area_a140", "\xA1\x40", u"\uE4C6"},
                                         TableCase{"pinyin_e_acute", "\xA8\xA6", u"\u00E9"},
                                         TableCase{"middle_dot", "\xA1\xA4", u"\u00B7"}),
                         [](const auto& row) { return row.param.name; });

TEST(CodePageTest, Utf8EdgesAndLiteral) {
  using literals::operator""_gbk;
  EXPECT_EQ(GbkFromUtf8("退出"), "\xCD\xCB\xB3\xF6");
  EXPECT_EQ(Utf8FromGbk("\xCD\xCB\xB3\xF6"), "退出");
  EXPECT_EQ("退出"_gbk, "\xCD\xCB\xB3\xF6");
  EXPECT_EQ("信息："_gbk, GbkFromUtf8("信息："));
  EXPECT_EQ(GbkFromUtf8(""), "");
}

TEST(CodePageTest, UnrepresentableBecomesQuestionMark) {
  EXPECT_EQ(FromUtf16(u"a\U0001F600b", CodePage::kGbk), "a?b");
  EXPECT_EQ(FromUtf16(u"a\u0E01b", CodePage::kGbk), "a?b");
  // Default-ignorable characters are no exception on Windows.
  EXPECT_EQ(FromUtf16(u"a\u200Bb\uFEFF", CodePage::kGbk), "a?b?");
  const char16_t lone_surrogate[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(FromUtf16(lone_surrogate, CodePage::kGbk), "a?b");
  EXPECT_EQ(FromUtf16(lone_surrogate, CodePage::kUtf8),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(CodePageTest, InvalidInputBecomesReplacementCharacter) {
  EXPECT_EQ(ToUtf16("a\x81", CodePage::kGbk), u"a\uFFFD");
  // ICU re-reads an ASCII byte after a lead byte that it cannot pair.
  EXPECT_EQ(ToUtf16("\x81 x", CodePage::kGbk), u"\uFFFD x");
  EXPECT_EQ(ToUtf16("a\x80z", CodePage::kUtf8), u"a\uFFFDz");
  EXPECT_EQ(ToUtf16("\xC0\x80", CodePage::kUtf8), u"\uFFFD\uFFFD");
}

// Each thread keeps its own converters, and a conversion cut short leaves none of its state behind.
TEST(CodePageTest, ConverterStateDoesNotLeakBetweenCalls) {
  EXPECT_EQ(ToUtf16("\xE4\xBD", CodePage::kUtf8), u"\uFFFD");
  EXPECT_EQ(ToUtf16("\xA0", CodePage::kUtf8), u"\uFFFD");
  EXPECT_EQ(ToUtf16("\xC4", CodePage::kGbk), u"\uFFFD");
  EXPECT_EQ(ToUtf16("\xE3", CodePage::kGbk), u"\uFFFD");
}

}  // namespace
}  // namespace pagoling::platform
