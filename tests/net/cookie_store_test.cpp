#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>

#include "net/http_cookie_store.h"
#include "net/http_request.h"
#include "sim/sandbox.h"
#include "support/temp_dir.h"
#include "support/text_files.h"

namespace pagoling::net {
namespace {

using testing::ReadBytes;

using ::testing::HasSubstr;

const std::string kLogOut = "\xCD\xCB\xB3\xF6";  // 退出 in GBK

class CookieStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CookieStore::Shared().Clear();
    ASSERT_TRUE(sandbox_.Start(0));
  }
  void TearDown() override {
    CookieStore::Shared().Close();
    CookieStore::Shared().Clear();
  }

  bool LoggedIn() {
    return HttpRequest(sandbox_.BaseUrl() + "/membersvc/index.htm").find(kLogOut) !=
           std::string::npos;
  }
  void LogIn() {
    HttpRequest(sandbox_.BaseUrl() + "/member/minilogin.htm", 1,
                "user=tester&password=secret&redirect=" + sandbox_.BaseUrl() + "/index.htm");
  }

  sim::Sandbox sandbox_;
  testing::TempDir folder_;
};

TEST_F(CookieStoreTest, LoginSurvivesARestartThroughTheOwnerOnlyCookieFile) {
  const std::filesystem::path file = folder_.Path() / "profile" / "cookies.txt";
  CookieStore::Shared().Open(file);
  EXPECT_FALSE(LoggedIn());
  LogIn();
  EXPECT_TRUE(LoggedIn());

  EXPECT_THAT(ReadBytes(file), HasSubstr(sandbox_.SessionCookieName()));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // As the process ends and a new one starts with nothing in memory.
  CookieStore::Shared().Close();
  CookieStore::Shared().Clear();
  EXPECT_FALSE(LoggedIn());
  CookieStore::Shared().Open(file);
  EXPECT_TRUE(LoggedIn());
}

TEST_F(CookieStoreTest, ImportedBrowserCookiesAuthoriseRequests) {
  const sim::Session session = sandbox_.CreateSession("tester");
  const auto report = CookieStore::Shared().ImportNetscapeText(
      "# Netscape HTTP Cookie File\n"
      "# exported by a browser\n"
      "\n"
      "127.0.0.1\tFALSE\t/\tFALSE\t0\t" +
      sandbox_.SessionCookieName() + "\t" + session.cookie_value + "\r\n");
  EXPECT_EQ(report.imported, 1);
  EXPECT_TRUE(report.warnings.empty());
  EXPECT_TRUE(LoggedIn());
}

TEST_F(CookieStoreTest, SetCookieLinesAreAcceptedForAHost) {
  const sim::Session session = sandbox_.CreateSession("tester");
  EXPECT_TRUE(CookieStore::Shared().ImportLine(
      "Set-Cookie: " + sandbox_.SessionCookieName() + "=" + session.cookie_value + "; Path=/",
      "127.0.0.1"));
  EXPECT_TRUE(LoggedIn());
}

TEST_F(CookieStoreTest, BadLinesAreSkippedWithAWarningAndTheFileIsKept) {
  const sim::Session session = sandbox_.CreateSession("tester");
  const std::filesystem::path file = folder_.Path() / "cookies.txt";
  const std::string original =
      "not a cookie line\n"
      "127.0.0.1\tMAYBE\t/\tFALSE\t0\tbad\tflag\n"
      "127.0.0.1\tFALSE\t/\tFALSE\t0\t" +
      sandbox_.SessionCookieName() + "\t" + session.cookie_value + "\n";
  std::ofstream(file, std::ios::binary) << original;

  const CookieImportReport report = CookieStore::Shared().Open(file);
  EXPECT_EQ(report.imported, 1);
  ASSERT_GE(report.warnings.size(), 2u);
  EXPECT_THAT(report.warnings[0], HasSubstr("line 1"));
  EXPECT_THAT(report.warnings[1], HasSubstr("line 2"));
  EXPECT_TRUE(LoggedIn());

  // The next save keeps what the user had beside the new file.
  EXPECT_EQ(ReadBytes(file.string() + ".bad"), original);
  EXPECT_THAT(ReadBytes(file), HasSubstr(session.cookie_value));
}

TEST_F(CookieStoreTest, ListenersHearSavesThatChangedTheFileAndNothingElse) {
  CookieStore::Shared().Open(folder_.Path() / "cookies.txt");
  std::atomic<int> heard{0};
  const int id = CookieStore::Shared().AddChangeListener([&heard] { ++heard; });

  LogIn();  // the request saves the session cookie it was given
  EXPECT_EQ(heard.load(), 1);
  EXPECT_TRUE(CookieStore::Shared().Save());  // nothing new to write
  EXPECT_EQ(heard.load(), 1);
  EXPECT_TRUE(CookieStore::Shared().ImportLine("127.0.0.1\tFALSE\t/\tFALSE\t0\textra\t1"));
  EXPECT_TRUE(CookieStore::Shared().Save());
  EXPECT_EQ(heard.load(), 2);

  CookieStore::Shared().RemoveChangeListener(id);
  EXPECT_TRUE(CookieStore::Shared().ImportLine("127.0.0.1\tFALSE\t/\tFALSE\t0\textra\t2"));
  EXPECT_TRUE(CookieStore::Shared().Save());
  EXPECT_EQ(heard.load(), 2);
}

}  // namespace
}  // namespace pagoling::net
