#include "net/encoding.h"

namespace pagoling::net {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.';
}

}  // namespace

std::string MultiByteToUtf16(std::string_view text, CodePage code_page) {
  const std::u16string units = platform::ToUtf16(text, code_page);
  std::string buffer;
  buffer.reserve(units.size() * 2 + 2);
  for (char16_t unit : units) {
    buffer.push_back(static_cast<char>(unit & 0xFF));
    buffer.push_back(static_cast<char>(unit >> 8));
  }
  buffer.append(2, '\0');
  return buffer;
}

std::string Utf16ToMultiByte(std::string_view utf16_buffer, CodePage code_page) {
  std::u16string units;
  units.reserve(utf16_buffer.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16_buffer.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16_buffer[i]) |
                                            (static_cast<unsigned char>(utf16_buffer[i + 1]) << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return platform::FromUtf16(units, code_page);
}

std::string GbkToUtf8(std::string_view gbk) { return platform::Utf8FromGbk(gbk); }

std::string Utf8ToGbk(std::string_view utf8) { return platform::GbkFromUtf8(utf8); }

std::string UrlEncode(std::string_view text, bool keep_unreserved, bool utf8) {
  const std::string converted = utf8 ? GbkToUtf8(text) : std::string();
  const std::string_view bytes = utf8 ? std::string_view(converted) : text;
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (keep_unreserved && IsUnreserved(byte)) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHexDigits[byte >> 4]);
      out.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return out;
}

std::string UrlDecode(std::string_view text, bool from_utf8) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) {
      // Not an escape: the "%" stays, and the bytes after it are read as ordinary bytes.
      out.push_back(c);
      continue;
    }
    const char decoded = static_cast<char>(high * 16 + low);
    if (decoded != '\0') out.push_back(decoded);
    i += 2;
  }
  return from_utf8 ? Utf8ToGbk(out) : out;
}

}  // namespace pagoling::net
