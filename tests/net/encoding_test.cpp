#include "net/encoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pagoling::net {
namespace {

using literals::operator""_gbk;

struct EncodeCase {
  std::string name;
  std::string text;
  bool keep_unreserved;
  bool utf8;
  std::string expected;
};

// Rows show as their name in test listings, not as a byte dump.
void PrintTo(const EncodeCase& row, std::ostream* out) { *out << row.name; }

class UrlEncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(UrlEncodeTest, EscapesBytes) {
  const EncodeCase& c = GetParam();
  EXPECT_EQ(UrlEncode(c.text, c.keep_unreserved, c.utf8), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, UrlEncodeTest,
    testing::Values(
        EncodeCase{"keyword_as_utf8", "连衣裙"_gbk, true, true, "%E8%BF%9E%E8%A1%A3%E8%A3%99"},
        EncodeCase{"reserved_escaped", "a b/c_d~e", true, false, "a%20b%2Fc%5Fd%7Ee"},
        EncodeCase{"unreserved_kept", "AZaz09-.", true, false, "AZaz09-."},
        EncodeCase{"plus_star_percent_escaped", "+*%", true, false, "%2B%2A%25"},
        EncodeCase{"every_byte_without_keep", "abc", false, false, "%61%62%63"},
        EncodeCase{"gbk_bytes_without_utf8", "连衣裙"_gbk, true, false, "%C1%AC%D2%C2%C8%B9"},
        EncodeCase{"long_link_utf8_only", "a.b/连"_gbk, false, true, "%61%2E%62%2F%E8%BF%9E"},
        EncodeCase{"single_digit_gets_zero", "\t\r\n", false, false, "%09%0D%0A"},
        EncodeCase{"highest_byte", "\xFF", true, false, "%FF"},
        EncodeCase{"empty", "", true, true, ""}),
    [](const auto& row) { return row.param.name; });

struct DecodeCase {
  std::string name;
  std::string text;
  bool from_utf8;
  std::string expected;
};

void PrintTo(const DecodeCase& row, std::ostream* out) { *out << row.name; }

class UrlDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(UrlDecodeTest, ResolvesEscapes) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(UrlDecode(c.text, c.from_utf8), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, UrlDecodeTest,
    testing::Values(DecodeCase{"lower_case_utf8_to_gbk", "%e4%bd%a0", true, "你"_gbk},
                    DecodeCase{"upper_case_utf8_to_gbk", "%E4%BD%A0", true, "你"_gbk},
                    DecodeCase{"raw_bytes_without_flag", "%e4%bd%a0", false, "\xE4\xBD\xA0"},
                    // A reply holds raw UTF-8 and escapes side by side; both end up as GBK.
                    DecodeCase{"utf8_reply_with_escapes", "{\"title\":\"你%E5%A5%BD\"}", true,
                               "{\"title\":\"你好\"}"_gbk},
                    DecodeCase{"plus_stays", "a+b", false, "a+b"},
                    DecodeCase{"escaped_percent", "100%25", false, "100%"},
                    DecodeCase{"zero_byte_adds_nothing", "a%00b", false, "ab"},
                    DecodeCase{"lone_percent_kept", "%", false, "%"},
                    DecodeCase{"one_digit_at_end_kept", "%4", false, "%4"},
                    DecodeCase{"non_hex_kept", "%zz", false, "%zz"},
                    DecodeCase{"half_hex_kept", "%4g1", false, "%4g1"},
                    DecodeCase{"trailing_percent_kept", "100%", false, "100%"},
                    DecodeCase{"kept_percent_then_escape", "%%41", false, "%A"},
                    DecodeCase{"literal_percent_in_title", "50%off", false, "50%off"},
                    DecodeCase{"empty", "", true, ""}),
    [](const auto& row) { return row.param.name; });

TEST(UrlCodingTest, EncodedKeywordDecodesBack) {
  const std::string keyword = "韩版 连衣裙/2024_新款~"_gbk;
  EXPECT_EQ(UrlDecode(UrlEncode(keyword, true, true), true), keyword);
  EXPECT_EQ(UrlDecode(UrlEncode(keyword)), keyword);
}

// Every two-byte code of the code page survives the trip through UTF-8, the user-defined areas and
// the codes glibc's table lacks included.
TEST(CodePageConversionTest, EveryTwoByteGbkCodeRoundTrips) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = GbkToUtf8(gbk);
      ASSERT_NE(utf8, "\xEF\xBF\xBD") << std::hex << lead << trail;
      ASSERT_EQ(Utf8ToGbk(utf8), gbk) << std::hex << lead << trail;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 126 * 190);
}

struct ConvertCase {
  std::string name;
  std::string input;
  std::string expected;
};

void PrintTo(const ConvertCase& row, std::ostream* out) { *out << row.name; }

class Utf8ToGbkTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(Utf8ToGbkTest, Converts) {
  const ConvertCase& c = GetParam();
  EXPECT_EQ(Utf8ToGbk(c.input), c.expected);
}

// Invalid UTF-8 becomes U+FFFD per maximal bad sequence, which GBK writes as "?".
INSTANTIATE_TEST_SUITE_P(UnrepresentableAndInvalid, Utf8ToGbkTest,
                         testing::Values(ConvertCase{"chinese", "退出", "\xCD\xCB\xB3\xF6"},
                                         ConvertCase{"pinyin_e_acute_is_gbk", "é", "\xA8\xA6"},
                                         ConvertCase{"emoji", "a😀b", "a?b"},
                                         ConvertCase{"zero_width_space", "a\u200Bb", "a?b"},
                                         ConvertCase{"byte_order_mark", "\xEF\xBB\xBFx", "?x"},
                                         ConvertCase{"lone_continuation", "a\x80z", "a?z"},
                                         ConvertCase{"truncated_sequence", "a\xE4\xBDz", "a?z"},
                                         ConvertCase{"truncated_at_end", "a\xE4\xBD", "a?"},
                                         ConvertCase{"overlong_nul", "\xC0\x80", "??"},
                                         ConvertCase{"encoded_surrogate", "\xED\xA0\x80", "???"}),
                         [](const auto& row) { return row.param.name; });

TEST(CodePageConversionTest, MalformedGbkBecomesReplacementCharacter) {
  // A lead byte with no valid trail byte is one U+FFFD, and an ASCII byte after it is read again.
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8("\x81\""), "\xEF\xBF\xBD\"");
}

TEST(Utf16BufferTest, LittleEndianUnitsWithTerminatingZero) {
  using namespace std::string_literals;
  EXPECT_EQ(MultiByteToUtf16("A你"_gbk, CodePage::kGbk), "A\0\x60\x4F\0\0"s);
  EXPECT_EQ(MultiByteToUtf16("A你"), "A\0\x60\x4F\0\0"s);  // UTF-8 when no code page is given
  EXPECT_EQ(MultiByteToUtf16("\x80", CodePage::kGbk), "\xAC\x20\0\0"s);
  EXPECT_EQ(MultiByteToUtf16(""), "\0\0"s);
  // A surrogate pair is two units, low unit first within each.
  EXPECT_EQ(MultiByteToUtf16("😀"), "\x3D\xD8\x00\xDE\0\0"s);
}

TEST(Utf16BufferTest, ConvertsUpToTheFirstZeroUnit) {
  using namespace std::string_literals;
  EXPECT_EQ(Utf16ToMultiByte("\x60\x4F\0\0B\0"s), "你"_gbk);  // GBK when no code page is given
  EXPECT_EQ(Utf16ToMultiByte("\x60\x4F"s, CodePage::kUtf8), "你");
  EXPECT_EQ(Utf16ToMultiByte("A\0B"s), "A");  // a half unit at the end is ignored
  EXPECT_EQ(Utf16ToMultiByte("\xAC\x20\0\0"s), "\x80");
  EXPECT_EQ(Utf16ToMultiByte("\x01\x0E\0\0"s), "?");  // Thai ko kai is not in the table
}

}  // namespace
}  // namespace pagoling::net
