#include "gui/cookie_bridge.h"

#include <QDateTime>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCookieStore>
#include <optional>
#include <set>
#include <vector>

#include "gui/gui_relay.h"
#include "net/http_cookie_store.h"

namespace pagoling::gui {
namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

std::string Key(const std::string& name, const std::string& domain, const std::string& path) {
  return name + '\t' + domain + '\t' + path;
}

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', begin);
    fields.emplace_back(line.substr(begin, tab == std::string_view::npos ? tab : tab - begin));
    if (tab == std::string_view::npos) return fields;
    begin = tab + 1;
  }
}

// A cookie of the store as the pane takes it: a host-only cookie has no domain and is set for its
// host as origin; a domain cookie keeps its leading dot.
struct StoreCookie {
  QNetworkCookie cookie;
  QUrl origin;
  std::string key;
  std::string line;  // as the pane will report it back
  bool expired = false;
};

std::optional<StoreCookie> FromStoreLine(std::string_view line) {
  bool http_only = false;
  if (line.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix) {
    http_only = true;
    line.remove_prefix(kHttpOnlyPrefix.size());
  }
  const std::vector<std::string> f = Fields(line);
  if (f.size() != 7 || f[0].empty() || f[5].empty()) return std::nullopt;
  const bool tail_match = f[1] == "TRUE";
  const bool secure = f[3] == "TRUE";
  const std::string host = f[0][0] == '.' ? f[0].substr(1) : f[0];

  StoreCookie result;
  QNetworkCookie& c = result.cookie;
  c.setName(QByteArray::fromStdString(f[5]));
  c.setValue(QByteArray::fromStdString(f[6]));
  c.setPath(QString::fromStdString(f[2]));
  c.setSecure(secure);
  c.setHttpOnly(http_only);
  const long long expiry = std::stoll(f[4]);
  if (expiry != 0) c.setExpirationDate(QDateTime::fromSecsSinceEpoch(expiry));
  result.expired = expiry != 0 && expiry <= QDateTime::currentSecsSinceEpoch();
  if (tail_match) c.setDomain(QString::fromStdString("." + host));
  result.origin = QUrl(QString::fromStdString((secure ? "https://" : "http://") + host + "/"));

  QNetworkCookie reported = c;
  reported.setDomain(QString::fromStdString(tail_match ? "." + host : host));
  result.line = CookieBridge::NetscapeLine(reported);
  result.key = Key(f[5], tail_match ? "." + host : host, f[2]);
  return result;
}

std::string KeyOf(const QNetworkCookie& cookie) {
  return Key(cookie.name().toStdString(), cookie.domain().toStdString(),
             cookie.path().isEmpty() ? "/" : cookie.path().toStdString());
}

}  // namespace

std::string CookieBridge::NetscapeLine(const QNetworkCookie& cookie) {
  const std::string domain = cookie.domain().toStdString();
  const long long expiry =
      cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
  return (cookie.isHttpOnly() ? std::string(kHttpOnlyPrefix) : std::string()) + domain + '\t' +
         (!domain.empty() && domain[0] == '.' ? "TRUE" : "FALSE") + '\t' +
         (cookie.path().isEmpty() ? std::string("/") : cookie.path().toStdString()) + '\t' +
         (cookie.isSecure() ? "TRUE" : "FALSE") + '\t' + std::to_string(expiry) + '\t' +
         cookie.name().toStdString() + '\t' + cookie.value().toStdString();
}

CookieBridge::CookieBridge(QWebEngineCookieStore& pane, net::CookieStore& store)
    : pane_(pane), store_(store), relay_(std::make_shared<GuiRelay>(&context_)) {
  QObject::connect(&pane_, &QWebEngineCookieStore::cookieAdded, &context_,
                   [this](const QNetworkCookie& cookie) { FromPane(cookie, false); });
  QObject::connect(&pane_, &QWebEngineCookieStore::cookieRemoved, &context_,
                   [this](const QNetworkCookie& cookie) { FromPane(cookie, true); });
  // Requests save the store as they receive cookies, often on the worker.
  listener_ =
      store_.AddChangeListener([relay = relay_, this] { relay->Post([this] { ToPane(); }); });
  ToPane();
  pane_.loadAllCookies();
}

CookieBridge::~CookieBridge() {
  store_.RemoveChangeListener(listener_);
  relay_->Detach();
  if (save_pending_) store_.Save();
}

// An overwrite in the pane arrives as removal of the old cookie and addition of the new one; a
// removal or addition that matches what both sides already hold is the echo of our own write.
void CookieBridge::FromPane(const QNetworkCookie& cookie, bool removed) {
  const std::string key = KeyOf(cookie);
  const std::string line = NetscapeLine(cookie);
  const auto agreed = agreed_.find(key);
  if (removed) {
    if (agreed == agreed_.end() || agreed->second != line) return;
    agreed_.erase(agreed);
    QNetworkCookie expired = cookie;
    expired.setExpirationDate(QDateTime::fromSecsSinceEpoch(1));
    store_.ImportLine(NetscapeLine(expired));
  } else {
    if (agreed != agreed_.end() && agreed->second == line) return;
    agreed_[key] = line;
    store_.ImportLine(line);
  }
  SaveSoon();
}

void CookieBridge::ToPane() {
  std::set<std::string> present;
  for (const std::string& store_line : store_.NetscapeLines()) {
    std::optional<StoreCookie> cookie = FromStoreLine(store_line);
    // A removal reaches the store as an expired line, which it drops only at its next write.
    if (!cookie || cookie->expired) continue;
    present.insert(cookie->key);
    std::string& agreed = agreed_[cookie->key];
    if (agreed == cookie->line) continue;
    agreed = cookie->line;
    pane_.setCookie(cookie->cookie, cookie->origin);
  }
  for (auto it = agreed_.begin(); it != agreed_.end();) {
    if (present.count(it->first) != 0) {
      ++it;
      continue;
    }
    if (std::optional<StoreCookie> gone = FromStoreLine(it->second)) {
      pane_.deleteCookie(gone->cookie, gone->origin);
    }
    it = agreed_.erase(it);
  }
}

// A login page sets many cookies at once; the file is written once for all of them.
void CookieBridge::SaveSoon() {
  if (save_pending_) return;
  save_pending_ = true;
  QTimer::singleShot(0, &context_, [this] {
    save_pending_ = false;
    store_.Save();
  });
}

}  // namespace pagoling::gui
