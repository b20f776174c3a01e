#pragma once

#include <string>

namespace pagoling::generate {

class Generation;

// The run's publisher context: the platform's form token and the last two parts of the mm number.
// Empty texts when the mm number is malformed or the token request failed.
struct PubContext {
  std::string tb_token;
  std::string site_id;
  std::string adzone_id;
};

// Everything a run asks of product search, extraction, promotion links, templates and page output.
// The run calls these in a fixed order per keyword; each returns before the next starts. Texts are
// GBK. Implementations run on the worker thread and reach the window through its operations.
class RunSteps {
 public:
  virtual ~RunSteps() = default;

  // Whether the platform recognises a logged-in account.
  virtual bool CheckLogin() = 0;
  virtual PubContext FetchPubContext() = 0;
  // The decoded search reply for the keyword, with the sort order and filters of the window.
  virtual std::string SearchProducts(const std::string& keyword, const std::string& tb_token) = 0;
  // Fills ProductTable from a search reply; `promotion_price` goes into every new row.
  virtual void ExtractProducts(const std::string& search_reply,
                               const std::string& promotion_price) = 0;
  // Adds each product's shop link and seller credit picture to ProductTable.
  virtual void FetchShopInfo(const PubContext& context) = 0;
  // Loads the template selected in 列表框1 into the editor boxes.
  virtual void LoadTemplate() = 0;
  // Appends one PromotionLinkTable row per processed product.
  virtual void FetchItemLinks(const PubContext& context) = 0;
  // Assembles and writes the page; returns the page name, which it may have turned into pinyin.
  virtual std::string AssemblePage(const std::string& current_page_name) = 0;
  virtual std::string ToPinyinName(const std::string& name) = 0;
  // The worker body when custom collection is switched on instead of the keyword search.
  virtual void CustomCollectionRun(Generation& generation) = 0;
};

}  // namespace pagoling::generate
