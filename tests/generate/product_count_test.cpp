#include "generate/product_count.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace pagoling::generate {
namespace {

struct CountCase {
  friend void PrintTo(const CountCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string text_utf8;
  double value;
};

class ProductCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(ProductCountTest, ReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(ProductCountValue(platform::GbkFromUtf8(GetParam().text_utf8)),
                   GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProductCountTest,
    ::testing::Values(CountCase{"plain", "10", 10}, CountCase{"leading_spaces", "  7", 7},
                      CountCase{"fraction", "10.9", 10.9}, CountCase{"negative", "-3", -3},
                      CountCase{"full_width_digits", "２０", 20},
                      CountCase{"number_then_unit", "20件", 20}, CountCase{"empty", "", 0},
                      CountCase{"letters", "abc", 0}, CountCase{"sign_alone", "-", 0},
                      CountCase{"no_hex", "0x10", 0}, CountCase{"no_inf", "inf", 0},
                      CountCase{"exponent", "1e2", 100}, CountCase{"dot_first", ".5", 0.5}),
    [](const auto& row) { return row.param.name; });

TEST(ToHalfWidth, FullWidthFormsAndStarsBecomeAscii) {
  EXPECT_EQ(ToHalfWidth(platform::GbkFromUtf8("Ａ　１～★☆连")),
            "A 1~**" + platform::GbkFromUtf8("连"));
}

}  // namespace
}  // namespace pagoling::generate
