#include "generate/pinyin.h"

#include "generate/product_count.h"

namespace pagoling::generate {

bool IsGb2312Hanzi(std::string_view piece) {
  if (piece.size() != 2) return false;
  const auto lead = static_cast<unsigned char>(piece[0]);
  const auto trail = static_cast<unsigned char>(piece[1]);
  return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

std::string ToPinyinName(const std::string& gbk) {
  std::string name;
  name.reserve(gbk.size() * 2);
  // Walked character by character: a single-byte character that has no full-width form (a tab,
  // a control byte) must not pair up with the first byte of the character after it.
  for (std::size_t i = 0; i < gbk.size();) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x81 || lead == 0xFF) {
      name.push_back(gbk[i]);
      ++i;
      continue;
    }
    if (i + 1 >= gbk.size()) break;  // a lone first byte at the end is no character
    const std::string piece = gbk.substr(i, 2);
    i += 2;
    if (IsGb2312Hanzi(piece)) {
      name += Gb2312Pinyin(lead, static_cast<unsigned char>(piece[1]));
    } else {
      name += ToHalfWidth(piece);
    }
  }
  return name;
}

}  // namespace pagoling::generate
