#include "generate/product_list.h"

#include "net/text_between.h"
#include "ui/control_names.h"

namespace pagoling::generate {
namespace {

using ui::kProductTable;

std::string TrimSpaces(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  for (;;) {
    if (begin < end && text[begin] == ' ') {
      ++begin;
    } else if (end - begin >= 2 && text.compare(begin, 2, "\xA1\xA1") == 0) {
      begin += 2;
    } else {
      break;
    }
  }
  for (;;) {
    if (end > begin && text[end - 1] == ' ') {
      --end;
    } else if (end - begin >= 2 && text.compare(end - 2, 2, "\xA1\xA1") == 0) {
      end -= 2;
    } else {
      break;
    }
  }
  return text.substr(begin, end - begin);
}

void RemoveAll(std::string& text, const std::string& piece) {
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at)) {
    text.erase(at, piece.size());
  }
}

}  // namespace

std::vector<std::string> CollectSegments(const std::string& text, const std::string& left,
                                         const std::string& right) {
  std::vector<std::string> segments;
  int start = 1;
  for (;;) {
    const int left_at = net::FindText(text, left, start, true);
    if (left_at < 0) break;
    const int after = left_at + static_cast<int>(left.size());
    const int right_at = net::FindText(text, right, after, true);
    if (right_at < 0) break;
    std::string segment = TrimSpaces(text.substr(static_cast<std::size_t>(after) - 1,
                                                 static_cast<std::size_t>(right_at - after)));
    if (segment.empty()) break;
    segments.push_back(std::move(segment));
    start = right_at;
  }
  return segments;
}

void ExtractProducts(ui::MainWindow& window, platform::Pacer& pacer, const std::string& reply,
                     const std::string& promotion_price) {
  for (const std::string& segment : CollectSegments(reply, "groupId\":null", "shopKeeper")) {
    const std::string id = net::TextBetween(segment, "auctionId\":\"", "\"");
    std::string title = net::TextBetween(segment, "title\":\"", "\",\"");
    const std::string nick = net::TextBetween(segment, "nick\":\"", "\",\"");
    const std::string picture = net::TextBetween(segment, "pictUrl\":\"", "\"");
    const std::string price = net::TextBetween(segment, "zkPrice\":", ",");
    const std::string sales = net::TextBetween(segment, "biz30day\":", ",");
    const std::string seller = net::TextBetween(segment, "user_number_id=", "\"");
    RemoveAll(title, "<span class=\\\"H\\\">");
    RemoveAll(title, "</span>");

    if (window.FindRow(kProductTable, id, 0, true) >= 0) continue;
    const int row = window.InsertRow(kProductTable);
    window.SetCell(kProductTable, row, 0, id);
    window.SetCell(kProductTable, row, 1, title);
    window.SetCell(kProductTable, row, 2, nick);
    window.SetCell(kProductTable, row, 3, seller);
    window.SetCell(kProductTable, row, 6, picture);
    window.SetCell(kProductTable, row, 7, price);
    window.SetCell(kProductTable, row, 8, sales);
    window.SetCell(kProductTable, row, 9, promotion_price);
  }
  // A rest without dispatching messages; the pacer still wakes at once when the run is halted.
  pacer.Pause(std::chrono::milliseconds(200));
}

}  // namespace pagoling::generate
