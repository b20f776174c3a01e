#pragma once

#include <QNetworkCookie>
#include <QObject>
#include <map>
#include <memory>
#include <string>

class QWebEngineCookieStore;

namespace pagoling::net {
class CookieStore;
}

namespace pagoling::gui {

class GuiRelay;

// Keeps the login pane's cookies and the requests' cookie store the same, both ways, so a login
// made in the pane authorises the requests and a session the requests were given shows in the pane.
// Each side reports the other's writes back (the pane's store announces every cookie it is given),
// so the bridge remembers what both sides agree on and passes on only what differs from it.
class CookieBridge {
 public:
  // Pushes the store's cookies into the pane and asks the pane for its own. GUI thread.
  CookieBridge(QWebEngineCookieStore& pane, net::CookieStore& store);
  ~CookieBridge();
  CookieBridge(const CookieBridge&) = delete;
  CookieBridge& operator=(const CookieBridge&) = delete;

  // A cookie as a Netscape line ("#HttpOnly_" prefix, a leading dot on domain cookies, expiry 0 for
  // a session cookie).
  static std::string NetscapeLine(const QNetworkCookie& cookie);

 private:
  void FromPane(const QNetworkCookie& cookie, bool removed);
  void ToPane();
  void SaveSoon();

  QObject context_;
  QWebEngineCookieStore& pane_;
  net::CookieStore& store_;
  std::shared_ptr<GuiRelay> relay_;
  int listener_ = 0;
  bool save_pending_ = false;
  std::map<std::string, std::string> agreed_;  // name, domain and path -> the line both sides hold
};

}  // namespace pagoling::gui
