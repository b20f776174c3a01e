#include "app/platform_steps.h"

#include "app/login.h"
#include "collect/custom_run.h"
#include "generate/page_assembly.h"
#include "generate/pinyin.h"
#include "generate/product_list.h"
#include "generate/product_search.h"
#include "generate/promotion_links.h"
#include "templates/template_store.h"

namespace pagoling::app {

PlatformSteps::PlatformSteps(ui::MainWindow& window, platform::Pacer& pacer,
                             net::Endpoints endpoints)
    : window_(window), pacer_(pacer), endpoints_(std::move(endpoints)) {}

bool PlatformSteps::CheckLogin() { return app::CheckLogin(window_); }

generate::PubContext PlatformSteps::FetchPubContext() {
  last_reply_.clear();
  return generate::FetchPubContext(window_, endpoints_);
}

std::string PlatformSteps::SearchProducts(const std::string& keyword, const std::string& tb_token) {
  if (auto reply = generate::SearchProducts(window_, endpoints_, keyword, tb_token)) {
    last_reply_ = std::move(*reply);
  }
  return last_reply_;
}

void PlatformSteps::ExtractProducts(const std::string& search_reply,
                                    const std::string& promotion_price) {
  generate::ExtractProducts(window_, pacer_, search_reply, promotion_price);
}

void PlatformSteps::FetchShopInfo(const generate::PubContext& context) {
  generate::FetchShopInfo(window_, pacer_, endpoints_, context);
}

void PlatformSteps::FetchItemLinks(const generate::PubContext& context) {
  generate::FetchItemLinks(window_, pacer_, endpoints_, context);
}

void PlatformSteps::LoadTemplate() { templates::LoadTemplate(window_); }

std::string PlatformSteps::AssemblePage(const std::string& current_page_name) {
  return generate::AssemblePage(window_, pacer_, endpoints_, current_page_name);
}

std::string PlatformSteps::ToPinyinName(const std::string& name) {
  return generate::ToPinyinName(name);
}

void PlatformSteps::CustomCollectionRun(generate::Generation& generation) {
  collect::CustomCollectionRun(generation, endpoints_);
}

}  // namespace pagoling::app
