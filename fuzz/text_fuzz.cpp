// Feeds arbitrary bytes to the text search, the extractors and the encoders, and checks what must
// hold for any input: replies and rule files are outside data, so none of these may crash or
// return a position or a cut that the text does not back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "net/encoding.h"
#include "net/text_between.h"

namespace {

using pagoling::net::FindText;

void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool IsLead(char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }
char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Letters fold only where they stand as characters of their own, never as a second byte.
bool EqualAt(const std::string& text, const std::string& sought, std::size_t at, bool fold) {
  for (std::size_t i = 0; i < sought.size();) {
    const char c = text[at + i];
    if (IsLead(c)) {
      if (c != sought[i] || (i + 1 < sought.size() && text[at + i + 1] != sought[i + 1])) {
        return false;
      }
      i += 2;
    } else {
      if (fold ? Fold(c) != Fold(sought[i]) : c != sought[i]) return false;
      ++i;
    }
  }
  return true;
}

// The search one candidate at a time, the way the fast path must behave.
int StepwiseFind(const std::string& text, const std::string& sought, int start, bool fold) {
  std::size_t at = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (at >= text.size()) return -1;
  if (sought.empty()) return 1;
  for (; at + sought.size() <= text.size(); at += IsLead(text[at]) ? 2 : 1) {
    if (EqualAt(text, sought, at, fold)) return static_cast<int>(at + 1);
  }
  return -1;
}

bool IsBoundaryFrom(const std::string& text, std::size_t from, std::size_t position) {
  std::size_t at = from;
  while (at < position) at += IsLead(text[at]) ? 2 : 1;
  return at == position;
}

void CheckFind(const std::string& text, const std::string& sought, int start, bool fold) {
  const int found = FindText(text, sought, start, fold);
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (found != -1) {
    Require(found >= 1, "position is 1-based");
    const auto at = static_cast<std::size_t>(found) - 1;
    Require(at + sought.size() <= text.size(), "match lies inside the text");
    if (!sought.empty()) {
      Require(at >= from, "match at or after the start");
      Require(IsBoundaryFrom(text, from, at), "match on a character start counted from start");
      Require(EqualAt(text, sought, at, fold), "matched bytes equal the sought text");
    }
  }
  Require(found == StepwiseFind(text, sought, start, fold), "first match, as stepwise search");
}

void CheckBetween(const std::string& text, const std::string& left, const std::string& right,
                  int start) {
  const std::string between = pagoling::net::TextBetween(text, left, right, start);
  if (!between.empty()) {
    const int left_at = FindText(text, left, start);
    Require(left_at > 0, "a cut needs a left marker");
    const std::size_t after = static_cast<std::size_t>(left_at) - 1 + left.size();
    Require(text.compare(after, between.size(), between) == 0, "cut follows the left marker");
    Require(text.compare(after + between.size(), right.size(), right) == 0,
            "right marker follows the cut");
  }
  if (left.find('#') != std::string::npos || right.find('#') != std::string::npos) {
    pagoling::net::TextBetweenAnyCase(text, left, right, start);  // the marker word: no crash
    return;
  }
  // With letter case kept and no marker word, both extractors cut the same text.
  Require(pagoling::net::TextBetweenAnyCase(text, left, right, start, true) == between,
          "both extractors agree");
  const std::string any_case = pagoling::net::TextBetweenAnyCase(text, left, right, start);
  if (!any_case.empty()) {
    const int left_at = FindText(text, left, start, true);
    Require(left_at > 0, "an any-case cut needs a left marker");
    const std::size_t after = static_cast<std::size_t>(left_at) - 1 + left.size();
    Require(text.compare(after, any_case.size(), any_case) == 0, "any-case cut follows the left");
    const std::size_t right_at = after + any_case.size();
    Require(right_at + right.size() <= text.size() && EqualAt(text, right, right_at, true),
            "a right marker in any case follows the any-case cut");
  }
}

void CheckEncoders(const std::string& bytes, bool keep_unreserved) {
  using pagoling::net::UrlDecode;
  using pagoling::net::UrlEncode;
  std::string without_zero;
  for (char c : bytes) {
    if (c != '\0') without_zero.push_back(c);
  }
  Require(UrlDecode(UrlEncode(bytes, keep_unreserved)) == without_zero,
          "decoding an encoded text gives it back, zero bytes dropped");
  const std::string decoded = UrlDecode(bytes);
  Require(decoded.size() <= bytes.size(), "decoding never lengthens");
  Require(UrlDecode(bytes, true) == pagoling::net::Utf8ToGbk(decoded),
          "from-UTF-8 decoding is decoding then conversion");
  const std::string gbk = pagoling::net::Utf8ToGbk(bytes);
  Require(gbk.size() <= 2 * bytes.size(), "a UTF-8 byte gives at most one GBK character");
  const std::string utf8 = pagoling::net::GbkToUtf8(bytes);
  Require(utf8.size() <= 3 * bytes.size(), "a GBK byte gives at most one BMP character");
}

// A marker cut out of the text itself, optionally with every ASCII letter's case flipped (second
// bytes of characters too): random markers alone seldom match anything.
std::string MarkerFrom(const std::string& text, unsigned mode, std::size_t offset,
                       std::size_t length, std::string literal) {
  if (mode == 0 || text.empty()) return literal;
  std::string marker = text.substr(offset % text.size(), length);
  if (mode == 2) {
    for (char& c : marker) {
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) c = static_cast<char>(c ^ 0x20);
    }
  }
  return marker;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool fold = input.ConsumeBool();
  const bool keep_unreserved = input.ConsumeBool();
  // Start positions from below 1 to past the end of a typical input.
  const int start = input.ConsumeIntegralInRange<int>(-2, 80);
  const auto left_mode = input.ConsumeIntegralInRange<unsigned>(0, 2);
  const auto left_offset = input.ConsumeIntegral<std::uint16_t>();
  const auto left_length = input.ConsumeIntegralInRange<std::size_t>(0, 6);
  const auto right_mode = input.ConsumeIntegralInRange<unsigned>(0, 2);
  const auto right_offset = input.ConsumeIntegral<std::uint16_t>();
  const auto right_length = input.ConsumeIntegralInRange<std::size_t>(0, 6);
  std::string left_literal = input.ConsumeRandomLengthString(8);
  std::string right_literal = input.ConsumeRandomLengthString(8);
  const std::string text = input.ConsumeRemainingBytesAsString();
  const std::string left =
      MarkerFrom(text, left_mode, left_offset, left_length, std::move(left_literal));
  const std::string right =
      MarkerFrom(text, right_mode, right_offset, right_length, std::move(right_literal));

  CheckFind(text, left, start, fold);
  CheckFind(text, right, start, !fold);
  CheckBetween(text, left, right, start);
  CheckEncoders(text, keep_unreserved);
  return 0;
}
