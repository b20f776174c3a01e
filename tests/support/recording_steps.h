#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "generate/run_steps.h"
#include "ui/main_window.h"

namespace pagoling::testing {

// A stand-in for the network and page steps of a run. Every call is recorded as one line (GBK
// arguments kept as they are) and counts as a side effect: on a halted worker it throws instead
// of being recorded, as a real request or file write would. Extraction and item links put rows
// into the window's tables so a test can see what the run clears and keeps.
class RecordingRunSteps : public generate::RunSteps {
 public:
  explicit RecordingRunSteps(ui::MainWindow& window) : window_(window) {}

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

  std::vector<std::string> Calls() const;

  bool logged_in = true;
  generate::PubContext context{"token1", "111", "222"};
  // Called inside every recorded step, after it was recorded (a test's hook into the worker).
  std::function<void(const std::string& call)> on_call;

 private:
  void Record(const std::string& call);

  ui::MainWindow& window_;
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace pagoling::testing
