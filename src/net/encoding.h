#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"

// Code-page conversion and percent-encoding between the system's GBK text and the platform's UTF-8
// query values and replies.
namespace pagoling::net {

using platform::CodePage;

// Little-endian UTF-16 code units, two bytes each, ending in a zero unit.
std::string MultiByteToUtf16(std::string_view text, CodePage code_page = CodePage::kUtf8);
// Converts up to the first zero unit (or the end of the buffer).
std::string Utf16ToMultiByte(std::string_view utf16_buffer, CodePage code_page = CodePage::kGbk);

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// Percent-encodes every byte ("%" and two upper-case hex digits); with `keep_unreserved` the ASCII
// letters, digits, "-" and "." stay as they are; with `utf8` the GBK text is first turned into
// UTF-8.
std::string UrlEncode(std::string_view text, bool keep_unreserved = false, bool utf8 = false);

// Resolves "%XX" escapes (either letter case; a decoded zero byte adds nothing); "+" stays "+". A
// "%" not followed by two hex digits is kept, with the bytes after it, as it stands. With
// `from_utf8` the decoded bytes are then turned from UTF-8 into GBK.
std::string UrlDecode(std::string_view text, bool from_utf8 = false);

}  // namespace pagoling::net
