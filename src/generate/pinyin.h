#pragma once

#include <string>
#include <string_view>

// Page names by pinyin: a keyword's Chinese characters become their readings, so the page's file
// name is plain Latin text.
namespace pagoling::generate {

// True for a two-byte text whose first byte is B0..F7 and second byte A1..FE: the block where
// GB2312 keeps its Chinese characters.
bool IsGb2312Hanzi(std::string_view piece);

// The first (most customary) reading of a character of that block, lower-case letters without
// tones, u with diaeresis written "v"; empty for a code the block leaves free or one outside it.
std::string_view Gb2312Pinyin(unsigned char lead, unsigned char trail);

// The file-name form of a GBK text: each Chinese character of GB2312 becomes its reading, each
// full-width ASCII form and star symbol its half-width character, every other character stays.
std::string ToPinyinName(const std::string& gbk);

}  // namespace pagoling::generate
