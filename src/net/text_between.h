#pragma once

#include <string>
#include <string_view>

// The search primitive and the two extractors that every parser of the system rests on. Texts are
// GBK: a byte of 0x80 or above begins a two-byte character, and a match begins only on a character
// start. Positions are 1-based; -1 means not found.
namespace pagoling::net {

// The position of `sought` in `text` at or after `start` (below 1 means 1), counted from the
// beginning of the text; -1 when there is none. With `ignore_case` only A-Z and a-z fold.
// An empty `sought` is found at 1 whenever the text from `start` on is not empty.
int FindText(std::string_view text, std::string_view sought, int start = 1,
             bool ignore_case = false);

// The text between the first `left` at or after `start` and the first `right` after it; empty when
// either is missing.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        int start = 1);

// As TextBetween, letters matched in any case unless `match_case`, and the marker word "#引号"
// standing for a double quote in both markers.
std::string TextBetweenAnyCase(std::string_view text, std::string_view left, std::string_view right,
                               int start = 1, bool match_case = false);

}  // namespace pagoling::net
