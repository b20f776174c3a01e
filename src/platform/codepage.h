#pragma once

#include <string>
#include <string_view>

namespace pagoling::platform {

// The two code pages the system converts between, numbered as Windows numbers them.
enum class CodePage : unsigned { kGbk = 936, kUtf8 = 65001 };

// Code-page text to UTF-16, as MultiByteToWideChar with flags 0 does it: invalid input becomes
// U+FFFD, nothing is reported.
std::u16string ToUtf16(std::string_view bytes, CodePage code_page);

// UTF-16 to code-page text, as WideCharToMultiByte with flags 0 does it: a character that the code
// page cannot represent (an unpaired surrogate included) becomes "?".
std::string FromUtf16(std::u16string_view text, CodePage code_page);

// The two directions the edges of the program need (terminal, file names, literals).
std::string GbkFromUtf8(std::string_view utf8);
std::string Utf8FromGbk(std::string_view gbk);

// A byte of 0x80 or above belongs to a two-byte GBK character; as the first byte of a character
// it starts one of two bytes.
inline bool IsGbkLeadByte(char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }

// Whether two GBK texts are equal with ASCII letters folded. The second byte of a two-byte
// character is never folded, so two different characters never compare equal. Inline: text
// searches that ignore case call it at every position.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto fold = [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (std::size_t i = 0; i < a.size();) {
    if (IsGbkLeadByte(a[i])) {
      if (a[i] != b[i]) return false;
      if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (fold(a[i]) != fold(b[i])) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace pagoling::platform

namespace pagoling::literals {

// The system's own texts are written in the source as UTF-8 and used as GBK bytes: "信息："_gbk.
std::string operator""_gbk(const char* utf8, std::size_t length);

}  // namespace pagoling::literals
