#include "app/login.h"

#include "net/http_request.h"
#include "net/text_between.h"
#include "platform/codepage.h"
#include "ui/control_names.h"
#include "ui/shell_handlers.h"

namespace pagoling::app {

using namespace pagoling::literals;

namespace {
using ui::kLoginPane;
constexpr const char* kAffiliateChoice = "单选框6";
constexpr const char* kMarketChoice = "单选框5";
}  // namespace

std::string AffiliateLoginAddress(const net::Endpoints& endpoints) {
  return "http://" + endpoints.affiliate_login_host +
         "/member/minilogin.htm?redirect=http%3A%2F%2F" + endpoints.ad_home_host +
         "%2Findex.htm&proxy=http://" + endpoints.affiliate_login_host + "/proxy.htm";
}

std::string MarketLoginAddress(const net::Endpoints& endpoints) {
  // The lower-case "%3d" is what the marketplace has always been sent.
  return "https://" + endpoints.market_login_host +
         "/member/login.jhtml?style=minisimple&from=alimama&redirectURL=http%3A%2F%2F" +
         endpoints.market_login_host +
         "%2Fmember%2Ftaobaoke%2Flogin.htm%3Fis_login%3d1&full_redirect=true"
         "&disableQuickLogin=true";
}

void ShowLoginPage(ui::MainWindow& window, const net::Endpoints& endpoints) {
  window.SetCurrentPage("选择夹2", ui::kLoginPage);
  if (window.Checked(kAffiliateChoice) == 1 || window.Checked(kMarketChoice) == 1) return;
  window.SetChecked(kAffiliateChoice, 1);
  OnAffiliateLoginClicked(window, endpoints);
}

void OnAffiliateLoginClicked(ui::MainWindow& window, const net::Endpoints& endpoints) {
  if (window.Checked(kAffiliateChoice) == 1) {
    window.Navigate(kLoginPane, AffiliateLoginAddress(endpoints));
  }
}

void OnMarketLoginClicked(ui::MainWindow& window, const net::Endpoints& endpoints) {
  if (window.Checked(kMarketChoice) == 1)
    window.Navigate(kLoginPane, MarketLoginAddress(endpoints));
}

bool CheckLogin(ui::MainWindow& window) {
  const std::string page = net::HttpRequest(window.Address(kLoginPane));
  static const std::string log_out = "退出"_gbk;
  return net::FindText(page, log_out) > 0;
}

}  // namespace pagoling::app
