// FindText against plain std::string_view::find on a search reply of about 1 MB: every field of
// every product is cut out of such a reply, so the character-start rule must cost little.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "net/text_between.h"
#include "platform/codepage.h"

namespace {

using pagoling::net::FindText;
using pagoling::platform::GbkFromUtf8;

// Product records as the decoded search reply holds them: ASCII keys and numbers, GBK titles and
// shop names. Fixed seed, so every run measures the same text.
const std::string& Reply() {
  static const std::string reply = [] {
    const std::vector<std::string> words = {
        "连衣裙", "韩版",   "修身", "显瘦", "新款", "女装", "夏季", "雪纺", "长袖", "碎花",
        "气质",   "中长款", "宽松", "百搭", "学生", "纯棉", "大码", "春秋", "复古", "网红"};
    const std::vector<std::string> shops = {"旗舰店", "专营店", "服饰", "小铺", "工作室"};
    std::vector<std::string> gbk_words;
    for (const std::string& word : words) gbk_words.push_back(GbkFromUtf8(word));
    std::vector<std::string> gbk_shops;
    for (const std::string& shop : shops) gbk_shops.push_back(GbkFromUtf8(shop));

    std::mt19937 random(7);
    std::string text = R"({"data":{"head":{"status":"OK","docsfound":5000},"pageList":[)";
    for (int record = 0; text.size() < (1u << 20) - 200; ++record) {
      if (record > 0) text += ",";
      text += R"({"auctionId":)" + std::to_string(520000000000 + random() % 100000000000);
      text += R"(,"title":")";
      for (int w = 0; w < 8; ++w) text += gbk_words[random() % gbk_words.size()];
      text += R"(","nick":")" + gbk_words[random() % gbk_words.size()] +
              gbk_shops[random() % gbk_shops.size()];
      text += R"(","pictUrl":"//img.example.com/bao/uploaded/i)" + std::to_string(random() % 4) +
              "/" + std::to_string(random()) + R"(.jpg","zkPrice":)" +
              std::to_string(random() % 500) + "." + std::to_string(random() % 10) + "0";
      text += R"(,"biz30day":)" + std::to_string(random() % 20000) + R"(,"sellerId":)" +
              std::to_string(random()) + "}";
    }
    text += R"(],"pageInfo":{"pageNum":1,"pageSize":100}},"summary":")" +
            GbkFromUtf8("共找到相关宝贝") + "\"}";
    return text;
  }();
  return reply;
}

// What the benchmark looks for: a key near the end, a key that is absent, a Chinese word near the
// end (whose lead byte occurs all over the titles).
const std::string kLateKey = R"("pageNum":)";
const std::string kAbsentKey = R"("couponAmount":)";
const std::string& LateChinese() {
  static const std::string marker = GbkFromUtf8("相关宝贝");
  return marker;
}

void SetThroughput(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Reply().size()));
}

void BM_FindText_LateKey(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(Reply(), kLateKey));
  SetThroughput(state);
}
void BM_StringViewFind_LateKey(benchmark::State& state) {
  const std::string_view text = Reply();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kLateKey));
  SetThroughput(state);
}

void BM_FindText_AbsentKey(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(Reply(), kAbsentKey));
  SetThroughput(state);
}
void BM_StringViewFind_AbsentKey(benchmark::State& state) {
  const std::string_view text = Reply();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kAbsentKey));
  SetThroughput(state);
}

void BM_FindText_LateChinese(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(Reply(), LateChinese()));
  SetThroughput(state);
}
void BM_StringViewFind_LateChinese(benchmark::State& state) {
  const std::string_view text = Reply();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(LateChinese()));
  SetThroughput(state);
}

// The product list walk: each title found from just after the previous one.
void BM_FindText_FieldLoop(benchmark::State& state) {
  const std::string key = R"("title":")";
  for (auto _ : state) {
    int found = 0;
    for (int at = FindText(Reply(), key); at > 0; at = FindText(Reply(), key, at + 1)) ++found;
    benchmark::DoNotOptimize(found);
  }
  SetThroughput(state);
}
void BM_StringViewFind_FieldLoop(benchmark::State& state) {
  const std::string_view text = Reply();
  const std::string key = R"("title":")";
  for (auto _ : state) {
    int found = 0;
    for (std::size_t at = text.find(key); at != std::string_view::npos;
         at = text.find(key, at + 1)) {
      ++found;
    }
    benchmark::DoNotOptimize(found);
  }
  SetThroughput(state);
}

// A marker that occurs only across two characters (the second byte of 连 and the first of 衣), so
// every byte match in the titles is rejected. No string_view::find counterpart: it would stop at
// the first of them.
void BM_FindText_OnlyFalseHits(benchmark::State& state) {
  const std::string straddling = GbkFromUtf8("连衣").substr(1, 2);
  for (auto _ : state) benchmark::DoNotOptimize(FindText(Reply(), straddling));
  SetThroughput(state);
}

// Ignore-case search walks byte by byte; header blocks are small, but its cost is worth knowing.
void BM_FindTextIgnoreCase_AbsentKey(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(Reply(), kAbsentKey, 1, true));
  SetThroughput(state);
}

BENCHMARK(BM_FindText_LateKey);
BENCHMARK(BM_StringViewFind_LateKey);
BENCHMARK(BM_FindText_AbsentKey);
BENCHMARK(BM_StringViewFind_AbsentKey);
BENCHMARK(BM_FindText_LateChinese);
BENCHMARK(BM_StringViewFind_LateChinese);
BENCHMARK(BM_FindText_FieldLoop);
BENCHMARK(BM_StringViewFind_FieldLoop);
BENCHMARK(BM_FindText_OnlyFalseHits);
BENCHMARK(BM_FindTextIgnoreCase_AbsentKey);

}  // namespace

BENCHMARK_MAIN();
