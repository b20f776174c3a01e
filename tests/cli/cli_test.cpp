#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/options.h"
#include "cli/session.h"
#include "net/http_cookie_store.h"
#include "platform/codepage.h"
#include "platform/run_directory.h"
#include "sim/sandbox.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace pagoling::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct ParseCase {
  friend void PrintTo(const ParseCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::vector<std::string> arguments;
  std::string error;  // a piece of the message; empty for a good command line
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, AcceptsOrExplains) {
  const ParseResult result = ParseCommandLine(GetParam().arguments);
  if (GetParam().error.empty()) {
    EXPECT_EQ(result.error, "");
  } else {
    EXPECT_THAT(result.error, HasSubstr(GetParam().error));
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseTest,
    ::testing::Values(
        ParseCase{"run_with_everything",
                  {"run",
                   "--dir",
                   "d",
                   "--keywords",
                   "-",
                   "--template",
                   "t",
                   "--count",
                   "5",
                   "--sort",
                   "2",
                   "--commission",
                   "1",
                   "--sales-from",
                   "2",
                   "--sales-to",
                   "3",
                   "--price-from",
                   "4",
                   "--price-to",
                   "5",
                   "--suffix",
                   "html",
                   "--mm",
                   "mm_1_2_3",
                   "--save-settings",
                   "--cookie-jar",
                   "j"},
                  ""},
        ParseCase{"run_needs_dir", {"run", "--keywords", "k"}, "--dir"},
        ParseCase{"run_needs_keywords", {"run", "--dir", "d"}, "--keywords"},
        ParseCase{
            "sort_out_of_range", {"run", "--dir", "d", "--keywords", "k", "--sort", "3"}, "--sort"},
        ParseCase{"value_missing", {"run", "--dir"}, "needs a value"},
        ParseCase{"unknown_option", {"run", "--dir", "d", "--keywords", "k", "--fast"}, "--fast"},
        ParseCase{"run_option_on_demo", {"demo", "--count", "3"}, "--count"},
        ParseCase{"cookies_without_import", {"cookies", "list"}, "cookies import FILE"},
        ParseCase{"cookies_import", {"cookies", "import", "f", "--cookie-jar", "j"}, ""},
        ParseCase{"unknown_command", {"go"}, "go"}),
    [](const auto& row) { return row.param.name; });

struct KeywordCase {
  friend void PrintTo(const KeywordCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string file;
  std::string box;
};

class KeywordBoxTest : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(KeywordBoxTest, LinesBecomeTheBoxAUserWouldType) {
  EXPECT_EQ(KeywordBoxText(GetParam().file), platform::GbkFromUtf8(GetParam().box));
}

INSTANTIATE_TEST_SUITE_P(
    Files, KeywordBoxTest,
    ::testing::Values(KeywordCase{"empty_file", "", ""},
                      KeywordCase{"final_break_adds_none", "连衣裙\n茶叶\n", "连衣裙\r\n茶叶"},
                      KeywordCase{"no_final_break", "连衣裙\n茶叶", "连衣裙\r\n茶叶"},
                      KeywordCase{"crlf_file", "a\r\nb\r\n", "a\r\nb"},
                      KeywordCase{"empty_line_is_a_keyword", "a\n\nb\n", "a\r\n\r\nb"},
                      KeywordCase{"last_line_empty_is_kept", "a\n\n", "a\r\n\r\n"}),
    [](const auto& row) { return row.param.name; });

// A run directory with one small template, against the in-process sandbox.
class CliRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sandbox_.Start(0));
    const fs::path folder = dir_.Path() / "单页生成" / "模板" / "mini";
    fs::create_directories(folder);
    std::ofstream(folder / "模板文件.htm", std::ios::binary) << platform::GbkFromUtf8(
        "<h1>[#关键词#]</h1>[#商品循环开始#]<p>[#商品标题#]</p>"
        "[#商品循环结束#]<footer/>");
    std::ofstream config(dir_.Path() / "Config.ini", std::ios::binary);
    config << platform::GbkFromUtf8("[配置]\r\nhz=htm\r\nmm=mm_1_2_3\r\n[endpoints]\r\n");
    for (const char* key : {"PublisherHost", "MemberHost"}) {
      config << key << "=" << sandbox_.HostPort() << "\r\n";
    }
  }

  void LogIn() {
    const sim::Session session = sandbox_.CreateSession("tester");
    std::ofstream(jar_, std::ios::binary)
        << "127.0.0.1\tFALSE\t/\tFALSE\t0\t" << sandbox_.SessionCookieName() << "\t"
        << session.cookie_value << "\n";
  }

  int Run(std::vector<std::string> arguments, const std::string& keywords = "连衣裙\n",
          bool progress = false) {
    std::istringstream in(keywords);
    out_.str("");
    err_.str("");
    Io io{out_, err_, in, progress};
    arguments.insert(arguments.begin(), {"run", "--dir", dir_.Path().string(), "--keywords", "-",
                                         "--cookie-jar", jar_.string()});
    const int status = Main(arguments, io);
    platform::SetRunDirectory("");
    net::CookieStore::Shared().Clear();
    return status;
  }

  std::string ConfigText() {
    std::ifstream in(dir_.Path() / "Config.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  sim::Sandbox sandbox_;
  testing::TempDir dir_;
  fs::path jar_ = dir_.Path() / "cookies.txt";
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CliRunTest, RunStreamsTheLogAndWritesThePage) {
  LogIn();
  EXPECT_EQ(Run({"--count", "1", "--template", "mini"}), kExitCompleted);
  EXPECT_THAT(out_.str(), HasSubstr("正在努力采集......."));
  EXPECT_THAT(out_.str(), HasSubstr("生成关键词\"连衣裙.htm\"完毕"));
  const fs::path page = dir_.Path() / "单页生成" / "模板" / "mini" / "连衣裙.htm";
  ASSERT_TRUE(fs::exists(page));
  std::ifstream in(page, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.rfind(platform::GbkFromUtf8("<h1>连衣裙</h1><p>"), 0), 0u);
  EXPECT_THAT(platform::Utf8FromGbk(bytes), HasSubstr("连衣裙"));
}

TEST_F(CliRunTest, ProgressLineCountsKeywordsAndProducts) {
  LogIn();
  EXPECT_EQ(Run({"--count", "1"}, "连衣裙\n茶叶\n", true), kExitCompleted);
  EXPECT_THAT(err_.str(), HasSubstr("keyword 2 of 2, 1 products done"));
  EXPECT_THAT(err_.str(), HasSubstr("about 00:0"));  // a remaining time once a keyword is done
  EXPECT_THAT(err_.str(), ::testing::EndsWith("\r\033[K"));  // the line is gone at the end
  EXPECT_THAT(out_.str(), Not(HasSubstr("\033")));
}

TEST_F(CliRunTest, PreCheckEndsWithStatusOneAndTheMessageOnStandardError) {
  EXPECT_EQ(Run({"--count", "1"}), kExitStoppedByCheck);  // not logged in
  EXPECT_THAT(err_.str(), HasSubstr("信息：请登陆阿里妈妈"));
}

TEST_F(CliRunTest, UnknownTemplateIsAUsageErrorListingTheTemplates) {
  EXPECT_EQ(Run({"--template", "nope"}), kExitUsage);
  EXPECT_THAT(err_.str(), HasSubstr("nope"));
  EXPECT_THAT(err_.str(), HasSubstr("mini"));
  EXPECT_TRUE(sandbox_.Requests().empty());
}

TEST_F(CliRunTest, SettingsAreSavedOnlyWhenAsked) {
  LogIn();
  const std::string before = ConfigText();
  EXPECT_EQ(Run({"--count", "1", "--suffix", "shtml"}), kExitCompleted);
  EXPECT_EQ(ConfigText(), before);
  EXPECT_EQ(Run({"--count", "1", "--suffix", "shtml", "--save-settings"}), kExitCompleted);
  EXPECT_THAT(ConfigText(), HasSubstr("hz=shtml"));
  EXPECT_THAT(ConfigText(), HasSubstr("[endpoints]\r\nPublisherHost=" + sandbox_.HostPort()));
}

TEST_F(CliRunTest, SettingsThatCannotBeSavedAreReported) {
  LogIn();
  const std::string before = ConfigText();
  int status = -1;
  {
    // Nothing may grow beyond the settings file as it is: the pages and the new settings fail.
    const testing::ScopedFileSizeLimit full_disk(before.size());
    status = Run({"--count", "1", "--suffix", "shtml", "--save-settings"});
  }
  EXPECT_EQ(status, kExitCompleted);
  EXPECT_THAT(err_.str(), HasSubstr("the settings could not be saved to "));
  EXPECT_EQ(ConfigText(), before);
}

TEST_F(CliRunTest, CookiesImportFeedsTheJar) {
  const sim::Session session = sandbox_.CreateSession("tester");
  const fs::path exported = dir_.Path() / "exported.txt";
  std::ofstream(exported, std::ios::binary)
      << "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\t"
      << sandbox_.SessionCookieName() << "\t" << session.cookie_value << "\nbroken line\n";
  std::istringstream in;
  Io io{out_, err_, in, false};
  EXPECT_EQ(Main({"cookies", "import", exported.string(), "--cookie-jar", jar_.string()}, io),
            kExitCompleted);
  EXPECT_THAT(out_.str(), HasSubstr("1 cookies imported"));
  EXPECT_THAT(err_.str(), HasSubstr("line 3"));
  net::CookieStore::Shared().Clear();
  EXPECT_EQ(Run({"--count", "1"}), kExitCompleted);  // the imported login serves the run
}

TEST_F(CliRunTest, CtrlCPressesStopAndTheProgramEndsWith130) {
  LogIn();
  sandbox_.InjectFault("/common/code/getAuctionCode.json", sim::Fault::Delay(20000));
  const fs::path keywords = dir_.Path() / "keywords.txt";
  std::ofstream(keywords) << "连衣裙\n茶叶\n";
  int out_pipe[2];
  ASSERT_EQ(::pipe(out_pipe), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::close(out_pipe[0]);
    ::execl(PAGOLING_CLI_PROGRAM, PAGOLING_CLI_PROGRAM, "run", "--dir", dir_.Path().c_str(),
            "--keywords", keywords.c_str(), "--count", "1", "--cookie-jar", jar_.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  // Wait until the run is inside its first item-code request, then press Ctrl-C.
  while (sandbox_.Requests().empty() ||
         sandbox_.Requests().back().Path() != "/common/code/getAuctionCode.json") {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitInterrupted);

  std::string output;
  char buffer[4096];
  for (ssize_t n; (n = ::read(out_pipe[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
  ::close(out_pipe[0]);
  EXPECT_THAT(output, HasSubstr("开始搜寻"));
  EXPECT_THAT(output, Not(HasSubstr("完毕")));
  EXPECT_FALSE(fs::exists(dir_.Path() / "单页生成" / "模板" / "mini" / "连衣裙.htm"));
}

}  // namespace
}  // namespace pagoling::cli
