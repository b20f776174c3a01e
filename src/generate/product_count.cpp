#include "generate/product_count.h"

#include <charconv>

namespace pagoling::generate {

std::string ToHalfWidth(const std::string& gbk) {
  std::string out;
  out.reserve(gbk.size());
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x80 || i + 1 >= gbk.size()) {
      out.push_back(gbk[i]);
      continue;
    }
    const auto trail = static_cast<unsigned char>(gbk[i + 1]);
    ++i;
    if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
  }
  return out;
}

double ProductCountValue(const std::string& gbk) {
  const std::string half = ToHalfWidth(gbk);
  std::size_t i = 0;
  while (i < half.size() && (half[i] == ' ' || half[i] == '\t')) ++i;
  // Only a plain decimal number counts: no hexadecimal, no "inf" or "nan" spellings.
  std::size_t end = i;
  if (end < half.size() && (half[end] == '+' || half[end] == '-')) ++end;
  const std::size_t digits_from = end;
  while (end < half.size() && half[end] >= '0' && half[end] <= '9') ++end;
  std::size_t digit_count = end - digits_from;
  if (end < half.size() && half[end] == '.') {
    ++end;
    const std::size_t fraction_from = end;
    while (end < half.size() && half[end] >= '0' && half[end] <= '9') ++end;
    digit_count += end - fraction_from;
  }
  if (digit_count == 0) return 0.0;
  if (end < half.size() && (half[end] == 'e' || half[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < half.size() && (half[exponent] == '+' || half[exponent] == '-')) ++exponent;
    if (exponent < half.size() && half[exponent] >= '0' && half[exponent] <= '9') {
      while (exponent < half.size() && half[exponent] >= '0' && half[exponent] <= '9') ++exponent;
      end = exponent;
    }
  }
  // from_chars ignores the locale, which a desktop toolkit may have switched to a decimal comma.
  if (half[i] == '+') ++i;
  double value = 0.0;
  std::from_chars(half.data() + i, half.data() + end, value);
  return value;
}

}  // namespace pagoling::generate
