#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generate/generation_run.h"
#include "net/endpoints.h"

// The custom collection run: one page per address of the rule editor's address list, its products
// scraped from that page with the rule's codes and looked up on the platform one link at a time.
namespace pagoling::collect {

// The 1-based positions where `item_start_code` begins in `page`, in page order, each search going
// on right after the previous occurrence. An empty code marks no block.
std::vector<int> FindBlockStarts(std::string_view page, std::string_view item_start_code);

// The platform's search for one scraped product link: the link as the search word, first result
// page sorted by promotions, no filters.
std::string LookupAddress(const net::Endpoints& endpoints, const std::string& link,
                          const std::string& tb_token);

// Fills ScrapedItemTable (自定义超级列表框) from the page at `address`: one row per product block,
// its first link and its special price, up to the product count of 编辑框7 when that is a whole
// number of at least 1.
void ScrapeSourcePage(generate::Generation& generation, const std::string& address);

// Makes the page of one source address; false when the rule check failed (the user was told and
// nothing was made).
bool CollectSourceAddress(generate::Generation& generation, const net::Endpoints& endpoints,
                          const std::string& address);

// The worker body when 选择框1 is checked: every address of 网址超级列表框 in list order, each
// page named after the rule in 资源名称编辑框 and the address's number.
void CustomCollectionRun(generate::Generation& generation, const net::Endpoints& endpoints);

}  // namespace pagoling::collect
