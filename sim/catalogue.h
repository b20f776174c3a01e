#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pagoling::sim {

struct Shop {
  std::string nick;  // UTF-8
  std::string user_number_id;
  int credit_level = 1;  // 1 to 20, as the credit pictures count them
};

// Money is held in fen and rates in hundredths of a percent, so sorting and filtering never meet
// rounding; the replies print them as yuan and percent.
struct Product {
  std::string auction_id;
  std::string title;  // UTF-8, without highlight
  int category = 0;
  int shop = 0;
  int price_fen = 0;  // the discounted price the search shows (zkPrice)
  int reserve_price_fen = 0;
  int commission_bp = 0;           // commission rate, 1/100 %
  int biz30day = 0;                // 30-day sales
  int total_num = 0;               // 30-day promotion count
  std::int64_t total_fee_fen = 0;  // 30-day commission paid out
};

struct SearchQuery {
  enum class Sort { kRelevance, kTotalNum, kCommissionRate, kTotalFee };

  std::string q;  // UTF-8, as decoded from the query
  std::optional<double> min_commission_percent;
  std::optional<double> min_total_num;
  std::optional<double> max_total_num;
  std::optional<double> min_price;
  std::optional<double> max_price;
  Sort sort = Sort::kRelevance;
  int page = 1;
  int page_size = 40;
};

struct SearchHit {
  const Product* product = nullptr;
  std::string highlighted_title;  // the matched words wrapped in the highlight tag
};

struct SearchResult {
  int found = 0;  // matches before paging
  std::vector<SearchHit> hits;
};

// The products the sandbox sells: generated from a seed, the same on every run and platform (only
// the engine's raw output is used, never the library's distributions, whose results vary).
class Catalogue {
 public:
  Catalogue(std::uint32_t seed, int product_count);

  const std::vector<Product>& Products() const { return products_; }
  const Shop& ShopOf(const Product& product) const { return shops_[product.shop]; }
  const Product* FindProduct(std::string_view auction_id) const;
  const Shop* FindShop(std::string_view user_number_id) const;
  std::vector<const Product*> ProductsOfCategory(int category) const;

  static int CategoryCount();
  static std::string_view CategoryName(int category);

  // Words match titles as substrings (ASCII letters in any case); a query holding a product link
  // ("...id=<digits>") finds that product, which is how the collection lookup asks for one item.
  SearchResult Search(const SearchQuery& query) const;

 private:
  std::vector<Shop> shops_;
  std::vector<Product> products_;
  std::unordered_map<std::string, std::size_t> product_index_;
  std::unordered_map<std::string, std::size_t> shop_index_;
};

// The opening and closing highlight tags of the search reply's titles.
inline constexpr std::string_view kHighlightOpen = "<span class=\"H\">";
inline constexpr std::string_view kHighlightClose = "</span>";

}  // namespace pagoling::sim
