#include "gui/cookie_bridge.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>
#include <fstream>

#include "gui_test_support.h"
#include "net/http_cookie_store.h"
#include "support/temp_dir.h"

namespace pagoling::gui {
namespace {

using testing::WaitFor;

bool Holds(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The store's cookies that are still alive: a removal leaves an expired line until the next write.
std::vector<std::string> LiveStoreLines() {
  std::vector<std::string> live;
  for (const std::string& line : net::CookieStore::Shared().NetscapeLines()) {
    if (line.find("\t1\t") == std::string::npos) live.push_back(line);
  }
  std::sort(live.begin(), live.end());
  return live;
}

class CookieBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::WebEngineWorks()) GTEST_SKIP() << "Chromium did not start in this environment";
    bool loaded = false;
    QObject::connect(&page_, &QWebEnginePage::loadFinished, [&loaded](bool ok) { loaded = ok; });
    page_.setUrl(QUrl(QStringLiteral("data:text/html,<p>pane</p>")));
    ASSERT_TRUE(WaitFor([&loaded] { return loaded; }));
    net::CookieStore::Shared().Clear();
    net::CookieStore::Shared().Open(folder_.Path() / "cookies.txt");
    // What the pane's store announces, as lines, in order.
    QObject::connect(
        profile_.cookieStore(), &QWebEngineCookieStore::cookieAdded,
        [this](const QNetworkCookie& c) { pane_.push_back(CookieBridge::NetscapeLine(c)); });
    QObject::connect(profile_.cookieStore(), &QWebEngineCookieStore::cookieRemoved,
                     [this](const QNetworkCookie& c) {
                       pane_.erase(
                           std::remove(pane_.begin(), pane_.end(), CookieBridge::NetscapeLine(c)),
                           pane_.end());
                     });
  }
  void TearDown() override {
    net::CookieStore::Shared().Close();
    net::CookieStore::Shared().Clear();
  }

  std::string FileText() {
    std::ifstream in(folder_.Path() / "cookies.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  pagoling::testing::TempDir folder_;
  QWebEngineProfile profile_;  // off the record: nothing of the tests lands on disk
  // The profile's cookie store starts working once a page of it has loaded, as the login pane does.
  QWebEnginePage page_{&profile_};
  std::vector<std::string> pane_;
};

TEST_F(CookieBridgeTest, ACookieSetInThePaneReachesTheStoreAndItsFileAndLeavesWithItsRemoval) {
  CookieBridge bridge(*profile_.cookieStore(), net::CookieStore::Shared());
  QNetworkCookie session("sid", "abc");
  session.setDomain(QStringLiteral(".example.test"));
  session.setPath(QStringLiteral("/"));
  session.setHttpOnly(true);
  profile_.cookieStore()->setCookie(session, QUrl(QStringLiteral("http://www.example.test/")));

  const std::string line = "#HttpOnly_.example.test\tTRUE\t/\tFALSE\t0\tsid\tabc";
  ASSERT_TRUE(WaitFor([&] { return Holds(LiveStoreLines(), line); }));
  ASSERT_TRUE(WaitFor([&] { return FileText().find(line) != std::string::npos; }));

  profile_.cookieStore()->deleteCookie(session, QUrl(QStringLiteral("http://www.example.test/")));
  EXPECT_TRUE(WaitFor([&] { return LiveStoreLines().empty(); }));
}

TEST_F(CookieBridgeTest, StoreCookiesReachThePaneInTheirOwnDomainFormWithoutComingBack) {
  const long long tomorrow = QDateTime::currentSecsSinceEpoch() + 86400;
  const std::string host_only = "127.0.0.1\tFALSE\t/\tFALSE\t0\tearly\t1";
  const std::string domain_wide =
      ".example.test\tTRUE\t/app\tFALSE\t" + std::to_string(tomorrow) + "\tlate\t2";
  ASSERT_TRUE(net::CookieStore::Shared().ImportLine(host_only));

  CookieBridge bridge(*profile_.cookieStore(), net::CookieStore::Shared());
  ASSERT_TRUE(WaitFor([&] { return Holds(pane_, host_only); }));

  // Cookies the requests receive are saved, and the save tells the bridge.
  ASSERT_TRUE(net::CookieStore::Shared().ImportLine(domain_wide));
  ASSERT_TRUE(net::CookieStore::Shared().Save());
  ASSERT_TRUE(WaitFor([&] { return Holds(pane_, domain_wide); }));

  // A new value replaces the pane's; the pane's removal of the old one is not taken for the user's.
  const std::string renewed = "127.0.0.1\tFALSE\t/\tFALSE\t0\tearly\t3";
  ASSERT_TRUE(net::CookieStore::Shared().ImportLine(renewed));
  ASSERT_TRUE(net::CookieStore::Shared().Save());
  ASSERT_TRUE(WaitFor([&] { return Holds(pane_, renewed); }));
  QTest::qWait(200);
  EXPECT_FALSE(Holds(pane_, host_only));
  std::vector<std::string> expected{domain_wide, renewed};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(LiveStoreLines(), expected);
}

}  // namespace
}  // namespace pagoling::gui
