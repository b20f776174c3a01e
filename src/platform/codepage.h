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

}  // namespace pagoling::platform

namespace pagoling::literals {

// The system's own texts are written in the source as UTF-8 and used as GBK bytes: "信息："_gbk.
std::string operator""_gbk(const char* utf8, std::size_t length);

}  // namespace pagoling::literals
