#include "app/application.h"

#include "app/login.h"
#include "app/settings.h"
#include "collect/rule_editor.h"
#include "platform/run_directory.h"
#include "templates/template_store.h"
#include "ui/shell_handlers.h"

namespace pagoling::app {

std::string ConfigFilePath() { return platform::RunDirectory() + "\\Config.ini"; }

std::string ShippedHelpPage() { return platform::RunDirectory() + "/help/index.htm"; }

Application::Application(ui::UiHost& host, platform::Pacer& pacer, net::Endpoints endpoints)
    : endpoints_(std::move(endpoints)),
      window_(host),
      steps_(window_, pacer, endpoints_),
      generation_(window_, pacer, steps_, endpoints_.member_host) {
  RegisterHandlers();
}

Application::~Application() { ShutdownMainWindow(); }

std::string Application::HelpPageUrl() const {
  return endpoints_.help_page_url.empty() ? ShippedHelpPage() : endpoints_.help_page_url;
}

void Application::InitMainWindow() {
  if (apply_look_) apply_look_();
  // The pane's geometry is read after the look was applied, which may change it.
  ui::SetUpOptionsPane(window_);
  templates::ListTemplates(window_);
  window_.SetSelectedIndex("组合框1", 0);
  window_.SetSelectedIndex("组合框2", 0);
  ui::ShowHelp(window_, HelpPageUrl());
  generation_.SetStopFlag(0);
  LoadSettings(window_);
}

bool Application::ShutdownMainWindow() {
  if (shut_down_) return true;
  shut_down_ = true;
  // No worker may touch the controls while they are read for saving.
  generation_.EndWorker();
  return SaveSettings(window_);
}

void Application::ShutdownWithoutSaving() {
  if (shut_down_) return;
  shut_down_ = true;
  generation_.EndWorker();
}

void Application::RegisterHandlers() {
  using ui::Event;
  ui::MainWindow& w = window_;
  const auto on = [&w](const char* control, Event event, std::function<void()> handler) {
    w.SetHandler(control, event, std::move(handler));
  };
  on("超级按钮5", Event::kClick, [&w] { ui::OpenTemplateFolder(w); });
  on("超级按钮6", Event::kClick, [this] { ShowLoginPage(window_, endpoints_); });
  on("超级按钮3", Event::kClick, [this] { ui::OpenHomePage(window_, endpoints_.home_page_url); });
  on("超级按钮4", Event::kClick, [&w] { ui::CloseMainWindow(w); });
  on("按钮1", Event::kClick, [this] { generation_.StartGeneration(); });
  on("按钮5", Event::kClick, [this] { generation_.StopGeneration(); });
  on("列表框1", Event::kItemSelected, [&w] { templates::OnTemplateSelected(w); });
  on("单选框1", Event::kClick, [this] { ui::ShowHelp(window_, HelpPageUrl()); });
  on("单选框2", Event::kClick, [&w] { templates::ShowTemplatePreview(w); });
  on("单选框3", Event::kClick, [&w] { templates::ShowTemplateEditor(w); });
  on("单选框4", Event::kClick, [&w] { ui::ShowRunLog(w); });
  on("单选框5", Event::kClick, [this] { OnMarketLoginClicked(window_, endpoints_); });
  on("单选框6", Event::kClick, [this] { OnAffiliateLoginClicked(window_, endpoints_); });
  on("纵向滚动条1", Event::kScroll, [&w] { ui::ScrollOptions(w); });
  on("按钮3", Event::kClick, [&w] { templates::SaveTemplateClicked(w); });
  on("按钮4", Event::kClick, [&w] { templates::ModifyTemplate(w); });
  on("按钮6", Event::kClick, [&w] { templates::MakeTemplate(w); });
  on("选择框1", Event::kGotFocus, [&w] { collect::ListRules(w); });
  on("选择框1", Event::kClick, [&w] { collect::OnCustomCollectionClicked(w); });
  on("资源组合框1", Event::kItemSelected, [&w] { collect::LoadRule(w); });
  on("按钮2", Event::kClick, [&w] { collect::AddRuleAddress(w); });
  on("按钮7", Event::kClick, [&w] { collect::DeleteRuleAddress(w); });
  on("保存按钮", Event::kClick, [&w] { collect::SaveRule(w); });
  on("网址超级列表框", Event::kClick, [&w] { collect::PickRuleAddress(w); });
}

// Every process-wide value lives in an object that the front end owns and destroys; nothing is
// left to release by hand.
void ReleaseGlobals() {}

}  // namespace pagoling::app
