#include "generate/pinyin.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/text_files.h"

namespace pagoling::generate {
namespace {

using testing::Gbk;

struct NameCase {
  std::string name;
  std::string input;  // GBK bytes
  std::string expected;
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class PinyinNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PinyinNameTest, FileNameForm) {
  EXPECT_EQ(ToPinyinName(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, PinyinNameTest,
    ::testing::Values(
        NameCase{"chinese_and_digits", Gbk("连衣裙2014"), "lianyiqun2014"},
        NameCase{"ascii_unchanged", "Nike Air-90_x~!{}", "Nike Air-90_x~!{}"},
        NameCase{"mixed_with_space", Gbk("Nike 运动鞋"), "Nike yundongxie"},
        NameCase{"full_width_forms", Gbk("ＡＢｃ１２３　！～"), "ABc123 !~"},
        NameCase{"full_width_tilde_a1ab", "\xA1\xAB", "~"},
        NameCase{"star_symbols", Gbk("☆★"), "**"},
        // u with diaeresis is written "v".
        NameCase{"u_diaeresis_as_v", Gbk("绿女略"), "lvnvlve"},
        NameCase{"other_symbols_unchanged", Gbk("【连】"), Gbk("【") + "lian" + Gbk("】")},
        // 丂 (8140) and 亗 (8181) are GBK characters outside GB2312: they pass through.
        NameCase{"gbk_outside_gb2312", "\x81\x40\x81\x81", "\x81\x40\x81\x81"},
        NameCase{"free_code_in_the_block_adds_nothing",
                 "a\xD7\xFA"
                 "b",
                 "ab"},
        NameCase{"lone_first_byte_at_end_dropped", Gbk("裙") + "\xC8", "qun"},
        // A byte with no full-width form keeps its place instead of pairing with the next one.
        NameCase{"tab_keeps_characters_aligned", Gbk("a\t连"), "a\tlian"},
        NameCase{"empty", "", ""}),
    [](const auto& row) { return row.param.name; });

TEST(IsGb2312Hanzi, ByteRanges) {
  EXPECT_TRUE(IsGb2312Hanzi("\xB0\xA1"));
  EXPECT_TRUE(IsGb2312Hanzi("\xF7\xFE"));
  EXPECT_FALSE(IsGb2312Hanzi("\xAF\xFE"));  // symbols and the user-defined rows before the block
  EXPECT_FALSE(IsGb2312Hanzi("\xF8\xA1"));
  EXPECT_FALSE(IsGb2312Hanzi("\xB0\xA0"));
  EXPECT_FALSE(IsGb2312Hanzi("\xB0\xFF"));
  EXPECT_FALSE(IsGb2312Hanzi("\xB0"));
  EXPECT_FALSE(IsGb2312Hanzi("\xB0\xA1\xB0"));
}

// Every code of the block that the code page maps to a Chinese character has a reading of plain
// letters; the codes it leaves free have none. The table came from another decoder than the one
// this test uses, so the two check each other.
TEST(Gb2312Pinyin, EveryCharacterOfTheBlockHasAReading) {
  int characters = 0;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string piece = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string decoded = platform::ToUtf16(piece, platform::CodePage::kGbk);
      const bool is_han = decoded.size() == 1 && decoded[0] >= 0x4E00 && decoded[0] <= 0x9FFF;
      const std::string_view reading =
          Gb2312Pinyin(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      SCOPED_TRACE(::testing::Message() << std::hex << lead << trail);
      if (!is_han) {
        EXPECT_TRUE(reading.empty());
        continue;
      }
      ++characters;
      ASSERT_FALSE(reading.empty());
      EXPECT_EQ(reading.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    }
  }
  EXPECT_EQ(characters, 6763);
}

}  // namespace
}  // namespace pagoling::generate
