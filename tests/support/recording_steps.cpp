#include "support/recording_steps.h"

#include "generate/generation_run.h"
#include "platform/cancel.h"

namespace pagoling::testing {

void RecordingRunSteps::Record(const std::string& call) {
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  });
  if (on_call) on_call(call);
}

std::vector<std::string> RecordingRunSteps::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

bool RecordingRunSteps::CheckLogin() {
  Record("CheckLogin");
  return logged_in;
}

generate::PubContext RecordingRunSteps::FetchPubContext() {
  Record("FetchPubContext");
  return context;
}

std::string RecordingRunSteps::SearchProducts(const std::string& keyword,
                                              const std::string& tb_token) {
  Record("SearchProducts " + keyword + " " + tb_token);
  return "reply:" + keyword;
}

void RecordingRunSteps::ExtractProducts(const std::string& search_reply,
                                        const std::string& promotion_price) {
  Record("ExtractProducts " + search_reply + " [" + promotion_price + "]");
  const int row = window_.InsertRow("超级列表框1");
  window_.SetCell("超级列表框1", row, 1, "title of " + search_reply);
}

void RecordingRunSteps::FetchShopInfo(const generate::PubContext& info) {
  Record("FetchShopInfo " + info.site_id + " " + info.adzone_id + " " + info.tb_token);
}

void RecordingRunSteps::LoadTemplate() { Record("LoadTemplate"); }

void RecordingRunSteps::FetchItemLinks(const generate::PubContext& info) {
  Record("FetchItemLinks " + info.site_id + " " + info.adzone_id + " " + info.tb_token);
  for (int row = 0; row < window_.RowCount("超级列表框1"); ++row) {
    const int link_row = window_.InsertRow("超级列表框转换链接");
    window_.SetCell("超级列表框转换链接", link_row, 0, "link");
    window_.SetCell("超级列表框转换链接", link_row, 1, window_.Cell("超级列表框1", row, 1));
  }
}

std::string RecordingRunSteps::AssemblePage(const std::string& current_page_name) {
  Record("AssemblePage " + current_page_name);
  return current_page_name;
}

std::string RecordingRunSteps::ToPinyinName(const std::string& name) {
  Record("ToPinyinName " + name);
  return "py-" + name;
}

void RecordingRunSteps::CustomCollectionRun(generate::Generation&) {
  Record("CustomCollectionRun");
}

}  // namespace pagoling::testing
