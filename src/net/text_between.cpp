#include "net/text_between.h"

#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace pagoling::net {
namespace {

using platform::IsGbkLeadByte;

// The first byte of the run of bytes of 0x80 and above that ends just before `position`, looking
// no further back than `known`, a character start. That byte starts a character too: it is either
// `known` or it follows an ASCII byte, and an ASCII byte always ends a character (on its own or as
// a second byte). Long runs (Chinese text) are crossed eight bytes at a time.
std::size_t RunStart(std::string_view text, std::size_t known, std::size_t position) {
  const char* data = text.data();
  while (position - known >= 8) {
    std::uint64_t word;
    std::memcpy(&word, data + position - 8, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0x8080808080808080ULL) break;
    position -= 8;
  }
  while (position > known && IsGbkLeadByte(data[position - 1])) --position;
  return position;
}

// Replies are searched for every field of every product: let the library find the byte match,
// then accept it only when it stands on a character start. From a character start, a run of high
// bytes pairs up, so the match is a character start when the run before it has even length.
int FindExact(std::string_view text, std::string_view sought, std::size_t from) {
  std::size_t known = from;
  std::size_t search = from;
  while (search + sought.size() <= text.size()) {
    const std::size_t position = text.find(sought, search);
    if (position == std::string_view::npos) return -1;
    if ((position - RunStart(text, known, position)) % 2 == 0) {
      return static_cast<int>(position + 1);
    }
    // The match began on a second byte, so the byte after it starts a character; looking back
    // never passes it again, which keeps the whole search linear.
    known = position + 1;
    search = position + 1;
  }
  return -1;
}

int FindFolded(std::string_view text, std::string_view sought, std::size_t from) {
  const std::size_t last = text.size() - sought.size();
  for (std::size_t position = from; position <= last;) {
    // Only ASCII letters standing as characters of their own fold: the second byte of a two-byte
    // character can be a letter, and folding it would turn one GBK character into another.
    if (platform::EqualIgnoringAsciiCase(std::string_view(text.data() + position, sought.size()),
                                         sought)) {
      return static_cast<int>(position + 1);
    }
    position += IsGbkLeadByte(text[position]) ? 2 : 1;
  }
  return -1;
}

std::string ReplaceQuoteWord(std::string_view marker) {
  static const std::string quote_word = "#" + platform::GbkFromUtf8("引号");
  std::string out(marker);
  for (std::size_t at = out.find(quote_word); at != std::string::npos;
       at = out.find(quote_word, at + 1)) {
    out.replace(at, quote_word.size(), "\"");
  }
  return out;
}

}  // namespace

int FindText(std::string_view text, std::string_view sought, int start, bool ignore_case) {
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (sought.empty()) return 1;
  if (sought.size() > text.size() - from) return -1;
  return ignore_case ? FindFolded(text, sought, from) : FindExact(text, sought, from);
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        int start) {
  const int left_at = FindText(text, left, start);
  if (left_at < 0) return {};
  const std::size_t rest_from = static_cast<std::size_t>(left_at) - 1 + left.size();
  if (rest_from >= text.size()) return {};
  const std::string_view rest = text.substr(rest_from);
  const int right_at = FindText(rest, right);
  if (right_at < 0) return {};
  return std::string(rest.substr(0, static_cast<std::size_t>(right_at) - 1));
}

std::string TextBetweenAnyCase(std::string_view text, std::string_view left, std::string_view right,
                               int start, bool match_case) {
  const std::string left_marker = ReplaceQuoteWord(left);
  const std::string right_marker = ReplaceQuoteWord(right);
  const int left_at = FindText(text, left_marker, start, !match_case);
  if (left_at < 0) return {};
  const int after = left_at + static_cast<int>(left_marker.size());
  const int right_at = FindText(text, right_marker, after, !match_case);
  if (right_at < 0 || right_at <= after) return {};
  return std::string(
      text.substr(static_cast<std::size_t>(after) - 1, static_cast<std::size_t>(right_at - after)));
}

}  // namespace pagoling::net
