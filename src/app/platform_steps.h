#pragma once

#include <string>

#include "generate/run_steps.h"
#include "net/endpoints.h"
#include "platform/pacer.h"
#include "ui/main_window.h"

namespace pagoling::app {

// The run's steps as they talk to the affiliate platform and write pages: the seam the
// generation run calls through, filled with the real routines.
class PlatformSteps : public generate::RunSteps {
 public:
  PlatformSteps(ui::MainWindow& window, platform::Pacer& pacer, net::Endpoints endpoints);

  bool CheckLogin() override;
  generate::PubContext FetchPubContext() override;
  std::string SearchProducts(const std::string& keyword, const std::string& tb_token) override;
  void ExtractProducts(const std::string& search_reply,
                       const std::string& promotion_price) override;
  void FetchShopInfo(const generate::PubContext& context) override;
  void LoadTemplate() override;
  void FetchItemLinks(const generate::PubContext& context) override;
  std::string AssemblePage(const std::string& current_page_name) override;
  std::string ToPinyinName(const std::string& name) override;
  void CustomCollectionRun(generate::Generation& generation) override;

 private:
  ui::MainWindow& window_;
  platform::Pacer& pacer_;
  net::Endpoints endpoints_;
  // With no sort order selected nothing is sent and the previous reply stands.
  std::string last_reply_;
};

}  // namespace pagoling::app
