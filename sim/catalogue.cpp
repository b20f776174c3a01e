#include "sim/catalogue.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <random>
#include <set>
#include <utility>

namespace pagoling::sim {
namespace {

struct CategoryInfo {
  std::string_view name;
  std::string_view shop_kind;
  int min_yuan;
  int max_yuan;
  std::array<std::string_view, 12> modifiers;
};

// Words sellers put in front of the category word; a couple of ASCII ones let tests search in
// mixed case.
constexpr std::array<CategoryInfo, 14> kCategories{{
    {"连衣裙",
     "女装",
     59,
     399,
     {"雪纺", "碎花", "修身", "韩版", "长袖", "短袖", "蕾丝", "高腰", "中长款", "显瘦", "宽松",
      "复古"}},
    {"手机壳",
     "数码",
     9,
     59,
     {"硅胶", "磨砂", "卡通", "防摔", "超薄", "TPU", "PU皮", "透明", "全包", "支架", "金属边框",
      "情侣"}},
    {"运动鞋",
     "鞋业",
     99,
     699,
     {"透气", "网面", "跑步", "轻便", "减震", "休闲", "板鞋", "气垫", "防滑", "情侣", "增高",
      "潮流"}},
    {"茶叶",
     "茶庄",
     29,
     599,
     {"明前", "特级", "西湖龙井", "铁观音", "普洱", "红茶", "绿茶", "高山", "礼盒装", "散装",
      "浓香型", "清香型"}},
    {"面膜",
     "美妆",
     19,
     199,
     {"补水", "保湿", "美白", "祛痘", "收缩毛孔", "蚕丝", "睡眠", "提亮", "修护", "清洁", "面贴",
      "玻尿酸"}},
    {"耳机",
     "数码",
     29,
     899,
     {"蓝牙", "入耳式", "头戴式", "HiFi", "重低音", "降噪", "运动", "无线", "线控", "带麦", "游戏",
      "发烧级"}},
    {"背包",
     "箱包",
     49,
     499,
     {"双肩", "帆布", "防水", "学院风", "电脑", "旅行", "大容量", "真皮", "简约", "时尚", "休闲",
      "户外"}},
    {"口红",
     "美妆",
     29,
     299,
     {"滋润", "保湿", "不脱色", "持久", "哑光", "豆沙色", "正红色", "咬唇妆", "防水", "珠光",
      "小样", "礼盒"}},
    {"零食",
     "食品",
     9,
     99,
     {"坚果", "牛肉干", "蜜饯", "饼干", "薯片", "麻辣", "大礼包", "办公室", "散装", "进口", "特产",
      "休闲"}},
    {"台灯",
     "家居",
     39,
     299,
     {"LED", "护眼", "学习", "卧室", "床头", "充电", "折叠", "触摸", "调光", "简约", "创意",
      "宿舍"}},
    {"毛衣",
     "女装",
     69,
     499,
     {"套头", "开衫", "高领", "加厚", "羊绒", "针织", "宽松", "韩版", "纯色", "条纹", "长款",
      "短款"}},
    {"牛仔裤",
     "服饰",
     59,
     399,
     {"直筒", "修身", "弹力", "小脚", "破洞", "高腰", "阔腿", "九分", "水洗", "显瘦", "加绒",
      "薄款"}},
    {"保温杯",
     "家居",
     29,
     199,
     {"不锈钢", "真空", "便携", "大容量", "儿童", "商务", "316", "男士", "女士", "创意", "学生",
      "车载"}},
    {"数据线",
     "数码",
     5,
     49,
     {"快充", "USB", "安卓", "编织", "加长", "弯头", "二合一", "三合一", "磁吸", "车载", "尼龙",
      "1米"}},
}};

constexpr std::array<std::string_view, 8> kPrefixes{"2014新款", "正品", "包邮", "春季",
                                                    "夏季",     "秋冬", "热卖", "特价"};
constexpr std::array<std::string_view, 6> kSuffixes{"", "特价", "清仓", "包邮", "促销", "爆款"};
constexpr std::array<std::string_view, 16> kShopWords{
    "小", "欣", "美", "优", "蓝", "金", "悦", "品", "诚", "雅", "尚", "佳", "乐", "星", "云", "木"};
constexpr std::array<std::string_view, 4> kShopTails{"旗舰店", "专营店", "小铺", "之家"};

constexpr int kShopsPerCategory = 30;

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : engine_(seed) {}
  // Modulo of the engine's raw output: mt19937's output is fixed by the standard, the
  // distributions' are not.
  int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }
  template <typename T, std::size_t N>
  T Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
  }

 private:
  std::mt19937 engine_;
};

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// The digits after "id=" in a product link, empty when the text holds none.
std::string LinkedProductId(std::string_view q) {
  for (std::size_t at = q.find("id="); at != std::string_view::npos; at = q.find("id=", at + 1)) {
    if (at > 0 && q[at - 1] != '?' && q[at - 1] != '&') continue;
    std::size_t end = at + 3;
    while (end < q.size() && std::isdigit(static_cast<unsigned char>(q[end]))) ++end;
    if (end > at + 3) return std::string(q.substr(at + 3, end - at - 3));
  }
  return {};
}

// The title with every occurrence of every word wrapped in the highlight tag; overlapping
// occurrences share one tag.
std::string Highlight(const std::string& title, const std::vector<std::string>& lower_words) {
  std::string lower_title = AsciiLower(title);
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  for (const std::string& word : lower_words) {
    for (std::size_t at = lower_title.find(word); at != std::string::npos;
         at = lower_title.find(word, at + word.size())) {
      ranges.emplace_back(at, at + word.size());
    }
  }
  std::sort(ranges.begin(), ranges.end());
  std::string out;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < ranges.size();) {
    std::size_t begin = ranges[i].first;
    std::size_t end = ranges[i].second;
    for (++i; i < ranges.size() && ranges[i].first <= end; ++i)
      end = std::max(end, ranges[i].second);
    out.append(title, copied, begin - copied);
    out.append(kHighlightOpen);
    out.append(title, begin, end - begin);
    out.append(kHighlightClose);
    copied = end;
  }
  out.append(title, copied);
  return out;
}

}  // namespace

Catalogue::Catalogue(std::uint32_t seed, int product_count) {
  Generator gen(seed);
  const int categories = CategoryCount();

  std::set<std::string> nicks;
  for (int i = 0; i < categories * kShopsPerCategory; ++i) {
    const CategoryInfo& category = kCategories[static_cast<std::size_t>(i % categories)];
    Shop shop;
    do {
      shop.nick = std::string(gen.Pick(kShopWords)) + std::string(gen.Pick(kShopWords)) +
                  std::string(category.shop_kind) + std::string(gen.Pick(kShopTails));
      // A name already taken gets a number, as sellers do.
      if (nicks.count(shop.nick) != 0) shop.nick += std::to_string(gen.Below(900) + 100);
    } while (nicks.count(shop.nick) != 0);
    nicks.insert(shop.nick);
    shop.user_number_id = std::to_string(100000000LL + i * 10000LL + gen.Below(10000));
    shop.credit_level = 1 + gen.Below(20);
    shop_index_[shop.user_number_id] = shops_.size();
    shops_.push_back(std::move(shop));
  }

  std::set<std::string> titles;
  for (int i = 0; i < product_count; ++i) {
    Product p;
    p.category = i % categories;
    const CategoryInfo& category = kCategories[static_cast<std::size_t>(p.category)];
    p.auction_id = std::to_string(35000000000LL + i * 10007LL + gen.Below(10007));
    do {
      std::string_view first = gen.Pick(category.modifiers);
      std::string_view second = gen.Pick(category.modifiers);
      if (second == first) second = "";
      std::string_view suffix = gen.Pick(kSuffixes);
      p.title = std::string(gen.Pick(kPrefixes)) + std::string(first) + std::string(second) +
                std::string(category.name);
      if (!suffix.empty()) p.title += " " + std::string(suffix);
      // Titles stay unique: the client pairs promotion links with products by title.
      if (titles.count(p.title) != 0) p.title += " " + std::to_string(gen.Below(90) + 10) + "款";
    } while (titles.count(p.title) != 0);
    titles.insert(p.title);
    p.shop = p.category + categories * gen.Below(kShopsPerCategory);

    static constexpr std::array<int, 4> kCents{0, 90, 80, 50};
    int yuan = category.min_yuan + gen.Below(category.max_yuan - category.min_yuan + 1);
    p.price_fen = yuan * 100 + gen.Pick(kCents);
    p.reserve_price_fen = p.price_fen + p.price_fen * (20 + gen.Below(81)) / 100;
    p.commission_bp = (15 + gen.Below(286)) * 10;  // 1.5 % to 30 %
    // Sales have a long tail: most products sell little, a few sell thousands.
    int r = gen.Below(1000);
    p.biz30day = r * r / 100 + gen.Below(50);
    p.total_num = p.biz30day * (10 + gen.Below(51)) / 100;
    p.total_fee_fen =
        static_cast<std::int64_t>(p.total_num) * p.price_fen * p.commission_bp / 10000;
    product_index_[p.auction_id] = products_.size();
    products_.push_back(std::move(p));
  }
}

const Product* Catalogue::FindProduct(std::string_view auction_id) const {
  auto it = product_index_.find(std::string(auction_id));
  return it == product_index_.end() ? nullptr : &products_[it->second];
}

const Shop* Catalogue::FindShop(std::string_view user_number_id) const {
  auto it = shop_index_.find(std::string(user_number_id));
  return it == shop_index_.end() ? nullptr : &shops_[it->second];
}

std::vector<const Product*> Catalogue::ProductsOfCategory(int category) const {
  std::vector<const Product*> out;
  for (const Product& p : products_) {
    if (p.category == category) out.push_back(&p);
  }
  return out;
}

int Catalogue::CategoryCount() { return static_cast<int>(kCategories.size()); }

std::string_view Catalogue::CategoryName(int category) {
  return kCategories[static_cast<std::size_t>(category)].name;
}

SearchResult Catalogue::Search(const SearchQuery& query) const {
  std::vector<const Product*> matches;
  std::vector<std::string> words;
  if (std::string id = LinkedProductId(query.q); !id.empty()) {
    if (const Product* p = FindProduct(id)) matches.push_back(p);
  } else {
    for (std::string& word : SplitWords(query.q)) words.push_back(AsciiLower(word));
    if (!words.empty()) {
      for (const Product& p : products_) {
        std::string lower_title = AsciiLower(p.title);
        bool all = std::all_of(words.begin(), words.end(), [&](const std::string& w) {
          return lower_title.find(w) != std::string::npos;
        });
        if (all) matches.push_back(&p);
      }
    }
  }

  auto outside = [](double value, const std::optional<double>& low,
                    const std::optional<double>& high) {
    return (low && value < *low) || (high && value > *high);
  };
  std::erase_if(matches, [&](const Product* p) {
    return outside(p->commission_bp / 100.0, query.min_commission_percent, std::nullopt) ||
           outside(p->total_num, query.min_total_num, query.max_total_num) ||
           outside(p->price_fen / 100.0, query.min_price, query.max_price);
  });

  auto key = [&](const Product* p) -> std::int64_t {
    switch (query.sort) {
      case SearchQuery::Sort::kTotalNum:
        return p->total_num;
      case SearchQuery::Sort::kCommissionRate:
        return p->commission_bp;
      case SearchQuery::Sort::kTotalFee:
        return p->total_fee_fen;
      case SearchQuery::Sort::kRelevance:
        break;
    }
    return 0;
  };
  // Stable, so equal keys keep catalogue order and every reply is reproducible.
  std::stable_sort(matches.begin(), matches.end(),
                   [&](const Product* a, const Product* b) { return key(a) > key(b); });

  SearchResult result;
  result.found = static_cast<int>(matches.size());
  const std::size_t size = static_cast<std::size_t>(std::max(1, query.page_size));
  const std::size_t first = static_cast<std::size_t>(std::max(1, query.page) - 1) * size;
  for (std::size_t i = first; i < matches.size() && i < first + size; ++i) {
    result.hits.push_back({matches[i], Highlight(matches[i]->title, words)});
  }
  return result;
}

}  // namespace pagoling::sim
