#include "net/text_between.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>

#include "platform/codepage.h"

namespace pagoling::net {
namespace {

using literals::operator""_gbk;

// GBK characters whose second byte is an ASCII character: 乗 = 81 5C ('\\'), 乕 = 81 5B ('['),
// 丄 = 81 41 ('A'), 乤 = 81 61 ('a').
const std::string kBackslashTrail = "乗"_gbk;
const std::string kBracketTrail = "乕"_gbk;
const std::string kUpperATrail = "丄"_gbk;
const std::string kLowerATrail = "乤"_gbk;

struct FindCase {
  std::string name;
  std::string text;
  std::string sought;
  int start;
  bool ignore_case;
  int expected;
};

// Rows show as their name in test listings, not as a byte dump.
void PrintTo(const FindCase& row, std::ostream* out) { *out << row.name; }

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, FindsFirstMatchOnACharacterStart) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignore_case), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, FindTextTest,
    testing::Values(FindCase{"one_based", "abcabc", "bc", 1, false, 2},
                    FindCase{"counted_from_text_start", "abcabc", "bc", 3, false, 5},
                    FindCase{"start_on_match", "abcabc", "abc", 4, false, 4},
                    FindCase{"not_found", "abcabc", "x", 1, false, -1},
                    FindCase{"start_zero_means_one", "abc", "a", 0, false, 1},
                    FindCase{"start_negative_means_one", "abc", "a", -7, false, 1},
                    FindCase{"start_at_last_byte", "abc", "c", 3, false, 3},
                    FindCase{"start_beyond_end", "abc", "c", 4, false, -1},
                    FindCase{"sought_longer_than_rest", "abc", "bcd", 2, false, -1},
                    FindCase{"empty_text", "", "a", 1, false, -1},
                    FindCase{"empty_sought_found_at_one", "abc", "", 1, false, 1},
                    FindCase{"empty_sought_at_one_whatever_start", "abc", "", 3, false, 1},
                    FindCase{"empty_sought_start_beyond_end", "abc", "", 4, false, -1},
                    FindCase{"empty_sought_empty_text", "", "", 1, false, -1},
                    FindCase{"chinese_marker", "头部[#商品循环开始#]体"_gbk, "[#商品循环开始#]"_gbk,
                             1, false, 5}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    CharacterBoundaries, FindTextTest,
    testing::Values(FindCase{"backslash_trail_skipped", kBackslashTrail + "x\\", "\\", 1, false, 4},
                    FindCase{"only_a_trail_byte", kBackslashTrail, "\\", 1, false, -1},
                    FindCase{"bracket_trail_skipped", kBracketTrail + "[", "[", 1, false, 3},
                    FindCase{"many_false_hits_then_match",
                             kBackslashTrail + kBackslashTrail + kBackslashTrail + "\\", "\\", 1,
                             false, 7},
                    FindCase{"false_hit_after_long_ascii_run",
                             "0123456789abcdef" + kBackslashTrail + "\\", "\\", 1, false, 19},
                    FindCase{"ascii_run_after_chinese", "连衣裙"_gbk + "0123456789abcdefXYZ", "XYZ",
                             1, false, 23},
                    // Malformed text: any byte after a lead byte goes with it, a quote included.
                    FindCase{"quote_after_lead_byte_skipped", "\x81\"a\"", "\"", 1, false, 4},
                    FindCase{"boundaries_counted_from_start", kBackslashTrail, "\\", 2, false, 2},
                    FindCase{"lead_byte_last_swallows_nothing", "ab\x81", "\x81", 1, false, 3},
                    FindCase{"lead_byte_pairs_with_next", "a\x81x", "x", 1, false, -1},
                    FindCase{"lead_byte_last_not_found", "xyz\x81", "q", 1, false, -1},
                    FindCase{"two_byte_sought", "你好你"_gbk, "你"_gbk, 3, false, 5},
                    FindCase{"start_inside_a_character_stays_misaligned", "你好你"_gbk, "你"_gbk, 2,
                             false, -1}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    IgnoreCase, FindTextTest,
    testing::Values(
        FindCase{"case_sensitive_by_default", "Set-Cookie: a", "set-cookie:", 1, false, -1},
        FindCase{"ascii_letters_fold", "x Set-Cookie: a", "set-COOKIE:", 1, true, 3},
        FindCase{"non_letters_do_not_fold", "a[b", "a{b", 1, true, -1},
        FindCase{"chinese_then_ascii", "连衣裙ABC"_gbk, "裙abc"_gbk, 1, true, 5},
        FindCase{"trail_letter_does_not_fold", kUpperATrail, kLowerATrail, 1, true, -1},
        FindCase{"trail_letter_matches_itself", "x" + kLowerATrail, kLowerATrail, 1, true, 2},
        FindCase{"letter_after_trail_letter", kUpperATrail + "a", "A", 1, true, 3},
        FindCase{"trail_byte_skipped_ignoring_case", kBackslashTrail + "\\", "\\", 1, true, 3},
        FindCase{"folded_start_beyond_end", "abc", "C", 4, true, -1}),
    [](const auto& row) { return row.param.name; });

// The search as stated, one candidate after another: the fast path must agree with it everywhere.
int StepwiseFind(const std::string& text, const std::string& sought, int start, bool ignore_case) {
  std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (at >= text.size()) return -1;
  if (sought.empty()) return 1;
  const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  while (at + sought.size() <= text.size()) {
    bool equal = true;
    for (std::size_t i = 0; i < sought.size() && equal;) {
      const char c = text[at + i];
      if ((static_cast<unsigned char>(c) & 0x80) != 0) {
        equal = c == sought[i] && (i + 1 == sought.size() || text[at + i + 1] == sought[i + 1]);
        i += 2;
      } else {
        equal = ignore_case ? fold(c) == fold(sought[i]) : c == sought[i];
        ++i;
      }
    }
    if (equal) return static_cast<int>(at + 1);
    at += (static_cast<unsigned char>(text[at]) & 0x80) != 0 ? 2 : 1;
  }
  return -1;
}

TEST(FindTextAgreement, MatchesStepwiseSearchOnRandomGbkText) {
  // Few distinct bytes, so matches, false hits on trail bytes and long ASCII runs all occur.
  const std::string alphabet = "aAb\\[\x81\xC4\xE3";
  std::mt19937 random(20240601);
  const auto pick = [&](std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) out.push_back(alphabet[random() % alphabet.size()]);
    return out;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string text = pick(random() % 40);
    // Long runs of ASCII and of high bytes exercise the eight-bytes-at-a-time paths.
    if (round % 4 == 0) text.insert(random() % (text.size() + 1), std::string(random() % 30, 'b'));
    if (round % 4 == 1) {
      std::string run(random() % 40, '\0');
      for (char& c : run) c = "\x81\xC4\xE3"[random() % 3];
      text.insert(random() % (text.size() + 1), run);
    }
    const std::string sought = pick(1 + random() % 3);
    const int start = static_cast<int>(random() % (text.size() + 3)) - 1;
    for (bool ignore_case : {false, true}) {
      ASSERT_EQ(FindText(text, sought, start, ignore_case),
                StepwiseFind(text, sought, start, ignore_case))
          << "text size " << text.size() << " start " << start << " ignore_case " << ignore_case;
    }
  }
}

struct BetweenCase {
  std::string name;
  std::string text;
  std::string left;
  std::string right;
  int start;
  std::string expected;
};

void PrintTo(const BetweenCase& row, std::ostream* out) { *out << row.name; }

// Apart from the marker word and letter case, both extractors give the same result.
class BothExtractorsTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(BothExtractorsTest, CutsTextBetweenMarkers) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start), c.expected);
  EXPECT_EQ(TextBetweenAnyCase(c.text, c.left, c.right, c.start), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, BothExtractorsTest,
    testing::Values(BetweenCase{"angle_brackets", "a<b>c<d>", "<", ">", 1, "b"},
                    BetweenCase{"from_position_4", "a<b>c<d>", "<", ">", 4, "d"},
                    BetweenCase{"start_on_left_marker", "a<b>c<d>", "<", ">", 2, "b"},
                    BetweenCase{"missing_left", "abc>", "<", ">", 1, ""},
                    BetweenCase{"missing_right", "a<bc", "<", ">", 1, ""},
                    BetweenCase{"right_only_before_left", "a>b<c", "<", ">", 1, ""},
                    BetweenCase{"adjacent_markers", "a<>b>", "<", ">", 1, ""},
                    BetweenCase{"left_marker_ends_text", "ab<", "<", ">", 1, ""},
                    BetweenCase{"start_past_end", "a<b>", "<", ">", 10, ""},
                    BetweenCase{"empty_text", "", "<", ">", 1, ""},
                    BetweenCase{"template_head", "头部[#商品循环开始#]体[#商品循环结束#]尾"_gbk, "",
                                "[#商品循环开始#]"_gbk, 1, "头部"_gbk},
                    BetweenCase{"template_body", "头部[#商品循环开始#]体[#商品循环结束#]尾"_gbk,
                                "[#商品循环开始#]"_gbk, "[#商品循环结束#]"_gbk, 1, "体"_gbk},
                    BetweenCase{"empty_left_ignores_start", "ab>cd>", "", ">", 4, "ab"},
                    BetweenCase{"empty_right", "a<b>", "<", "", 1, ""},
                    BetweenCase{"form_token", R"({"data":{"tb_token_":"e5a1f3"}})",
                                R"(tb_token_":")", "\"", 1, "e5a1f3"},
                    BetweenCase{"left_marker_on_trail_skipped", "x" + kBracketTrail + "y[z]", "[",
                                "]", 1, "z"},
                    BetweenCase{"right_marker_on_trail_skipped", "[x" + kBackslashTrail + "y\\",
                                "[", "\\", 1, "x" + kBackslashTrail + "y"}),
    [](const auto& row) { return row.param.name; });

struct AnyCaseCase {
  std::string name;
  std::string text;
  std::string left;
  std::string right;
  bool match_case;
  std::string expected;
};

void PrintTo(const AnyCaseCase& row, std::ostream* out) { *out << row.name; }

class TextBetweenAnyCaseTest : public testing::TestWithParam<AnyCaseCase> {};

TEST_P(TextBetweenAnyCaseTest, CutsTextBetweenMarkers) {
  const AnyCaseCase& c = GetParam();
  EXPECT_EQ(TextBetweenAnyCase(c.text, c.left, c.right, 1, c.match_case), c.expected);
}

const std::string kHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: cookie2=1f0e; Path=/\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    CaseAndQuoteWord, TextBetweenAnyCaseTest,
    testing::Values(
        AnyCaseCase{"header_in_any_case", kHeaders, "set-cookie:", ";", false, " cookie2=1f0e"},
        AnyCaseCase{"header_with_match_case", kHeaders, "set-cookie:", ";", true, ""},
        AnyCaseCase{"header_same_case_with_match_case", kHeaders, "Set-Cookie:", ";", true,
                    " cookie2=1f0e"},
        AnyCaseCase{"right_marker_any_case", "<B>bold</B>", "<b>", "</b>", false, "bold"},
        AnyCaseCase{"quote_word", R"(<a id="value" href="x">)", "id=#引号"_gbk, "#引号"_gbk, false,
                    "value"},
        AnyCaseCase{"quote_word_twice", R"(x=""ab"")", "x=#引号#引号"_gbk, "#引号"_gbk, false,
                    "ab"},
        // A folded trail byte would turn 乤 into 丄 and cut the first value.
        AnyCaseCase{"trail_letter_does_not_fold", kLowerATrail + "=1;" + kUpperATrail + "=2;",
                    kUpperATrail + "=", ";", false, "2"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace pagoling::net
