#include "sim/sandbox.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sim/catalogue.h"

namespace pagoling::sim {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr std::string_view kQuitGbk = "\xCD\xCB\xB3\xF6";           // 退出 in GBK
constexpr std::string_view kQuitUtf8 = "\xE9\x80\x80\xE5\x87\xBA";  // 退出 in UTF-8

// The client's encoder for query values: letters, digits, "-" and "." stay, every other byte is
// escaped.
std::string EncodeQuery(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (std::isalnum(b) || b == '-' || b == '.') {
      out.push_back(c);
    } else {
      out += {'%', kHex[b >> 4], kHex[b & 15]};
    }
  }
  return out;
}

// The client's decoder: every "%" takes the next two bytes.
std::string Decode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// The text between the first left marker and the next right marker after it; empty when absent.
std::string Between(std::string_view text, std::string_view left, std::string_view right) {
  std::size_t start = text.find(left);
  if (start == std::string_view::npos) return {};
  start += left.size();
  std::size_t end = text.find(right, start);
  if (end == std::string_view::npos) return {};
  return std::string(text.substr(start, end - start));
}

// The record stretches the client cuts a search reply into.
std::vector<std::string> Records(std::string_view reply) {
  std::vector<std::string> records;
  std::size_t at = 0;
  while ((at = reply.find("groupId\":null", at)) != std::string_view::npos) {
    std::size_t end = reply.find("shopKeeper", at);
    if (end == std::string_view::npos) break;
    records.emplace_back(reply.substr(at, end - at));
    at = end;
  }
  return records;
}

// Sends bytes on a fresh connection and reads the reply to its end.
std::string SendRaw(int port, const std::string& bytes) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return {};
  }
  ::send(fd, bytes.data(), bytes.size(), 0);
  std::string reply;
  char buffer[4096];
  for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    reply.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return reply;
}

class SandboxTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sandbox_.Start(0));
    session_ = sandbox_.CreateSession("tester");
  }

  httplib::Result Get(const std::string& target, const std::string& cookie_value) {
    httplib::Client client("127.0.0.1", sandbox_.Port());
    httplib::Headers headers;
    if (!cookie_value.empty()) {
      headers.emplace("Cookie", sandbox_.SessionCookieName() + "=" + cookie_value);
    }
    return client.Get(target, headers);
  }
  // A GET as the logged-in member.
  std::string Body(const std::string& target) {
    auto res = Get(target, session_.cookie_value);
    return res ? res->body : std::string("<no reply>");
  }
  std::string Post(const std::string& path, const std::string& body) {
    httplib::Client client("127.0.0.1", sandbox_.Port());
    auto res = client.Post(path, body, "application/x-www-form-urlencoded");
    return res ? res->body : std::string("<no reply>");
  }

  // The search address exactly as the client builds it for sort mode 0.
  std::string SearchTarget(std::string_view keyword, std::string_view filters = "",
                           std::string_view sort_tail = "&startRatesum=&loc=&sort=_totalnum") {
    std::string target =
        "/pubauc/searchAuctionList.json?spm=0.0.0.0.AM7g9M&q=" + EncodeQuery(keyword) + "&toPage=1";
    target += filters.empty() ? "&startCommrate=&startTotalnum=&endTotalnum=&startPrice=&endPrice="
                              : std::string(filters);
    return target + std::string(sort_tail) + "&perPagesize=40&_tb_token_=" + session_.token;
  }
  nlohmann::json SearchJson(const std::string& target) {
    return nlohmann::json::parse(Body(target));
  }

  Sandbox sandbox_;
  Session session_;
};

// --- login -------------------------------------------------------------------------------------

struct LoginCase {
  std::string name;
  std::string page;
  std::string query;     // as the client's login address sends it
  std::string redirect;  // where the form must send the browser afterwards

  friend void PrintTo(const LoginCase& c, std::ostream* os) { *os << c.name; }
};

class SandboxLoginTest : public SandboxTest, public testing::WithParamInterface<LoginCase> {};

TEST_P(SandboxLoginTest, FormSetsSessionCookieAndRedirects) {
  const LoginCase& c = GetParam();
  httplib::Client client("127.0.0.1", sandbox_.Port());
  auto page = client.Get(c.page + "?" + c.query);
  ASSERT_TRUE(page);
  EXPECT_THAT(page->body, HasSubstr("method=\"post\" action=\"" + c.page + "\""));
  EXPECT_THAT(page->body, HasSubstr("name=\"redirect\" value=\"" + c.redirect + "\""));
  EXPECT_THAT(page->body, Not(HasSubstr(kQuitGbk)));

  auto rejected =
      client.Post(c.page, "user=tester&password=&redirect=x", "application/x-www-form-urlencoded");
  ASSERT_TRUE(rejected);
  EXPECT_EQ(rejected->status, 200);
  EXPECT_FALSE(rejected->has_header("Set-Cookie"));

  auto login =
      client.Post(c.page, "user=tester&password=secret&redirect=" + EncodeQuery(c.redirect),
                  "application/x-www-form-urlencoded");
  ASSERT_TRUE(login);
  EXPECT_EQ(login->status, 302);
  EXPECT_EQ(login->get_header_value("Location"), c.redirect);
  const std::string cookie = login->get_header_value("Set-Cookie");
  const std::string prefix = sandbox_.SessionCookieName() + "=";
  ASSERT_EQ(cookie.rfind(prefix, 0), 0u) << cookie;
  const std::string value = cookie.substr(prefix.size(), cookie.find(';') - prefix.size());

  auto member = Get("/membersvc/index.htm", value);
  ASSERT_TRUE(member);
  EXPECT_THAT(member->body, HasSubstr(kQuitGbk));
  auto context = Get("/common/getUnionPubContextInfo.json", value);
  ASSERT_TRUE(context);
  EXPECT_FALSE(Between(Decode(context->body), "tb_token_\":\"", "\"").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SandboxLoginTest,
    testing::Values(
        LoginCase{"affiliate", "/member/minilogin.htm",
                  "redirect=http%3A%2F%2Fad.example%2Findex.htm&proxy=http://ad.example/proxy.htm",
                  "http://ad.example/index.htm"},
        LoginCase{"marketplace", "/member/login.jhtml",
                  "style=minisimple&from=alimama&redirectURL=http%3A%2F%2Fm.example%2Fmember%2F"
                  "taobaoke%2Flogin.htm%3Fis_login%3d1&full_redirect=true&disableQuickLogin=true",
                  "http://m.example/member/taobaoke/login.htm?is_login=1"}),
    [](const auto& row) { return row.param.name; });

TEST_F(SandboxTest, MemberPageHoldsLogOutInGbkOnlyForALiveSession) {
  EXPECT_THAT(Body("/membersvc/index.htm"), HasSubstr(kQuitGbk));
  EXPECT_THAT(Body("/membersvc/index.htm"), Not(HasSubstr(kQuitUtf8)));
  for (const std::string& cookie : {std::string(), std::string("not-a-session")}) {
    auto res = Get("/membersvc/index.htm", cookie);
    ASSERT_TRUE(res);
    EXPECT_THAT(res->body, Not(HasSubstr(kQuitGbk))) << "cookie '" << cookie << "'";
  }
  // Logging out ends the session.
  EXPECT_EQ(Get("/member/logout.htm", session_.cookie_value)->status, 302);
  EXPECT_THAT(Body("/membersvc/index.htm"), Not(HasSubstr(kQuitGbk)));
}

// --- platform services -------------------------------------------------------------------------

TEST_F(SandboxTest, ContextReplyCarriesTheSessionsToken) {
  EXPECT_EQ(Between(Decode(Body("/common/getUnionPubContextInfo.json")), "tb_token_\":\"", "\""),
            session_.token);
  auto anonymous = Get("/common/getUnionPubContextInfo.json", "");
  ASSERT_TRUE(anonymous);
  EXPECT_THAT(anonymous->body, Not(HasSubstr("tb_token_")));
}

TEST_F(SandboxTest, SearchRecordsCarryTheFieldMarkersWithTheWordHighlighted) {
  const std::string reply = Decode(Body(SearchTarget("连衣裙")));
  const std::vector<std::string> records = Records(reply);
  ASSERT_EQ(records.size(), 40u);
  for (const std::string& r : records) {
    const std::string title = Between(r, "title\":\"", "\",\"");
    EXPECT_THAT(title, HasSubstr("<span class=\\\"H\\\">连衣裙</span>"));
    EXPECT_FALSE(Between(r, "auctionId\":\"", "\"").empty());
    EXPECT_FALSE(Between(r, "nick\":\"", "\",\"").empty());
    EXPECT_EQ(Between(r, "pictUrl\":\"", "\"").rfind(sandbox_.BaseUrl() + "/img/p/", 0), 0u);
    EXPECT_GT(std::stod(Between(r, "zkPrice\":", ",")), 0.0);
    EXPECT_NO_THROW(std::stoi(Between(r, "biz30day\":", ",")));
    EXPECT_FALSE(Between(r, "user_number_id=", "\"").empty());
  }
  // A word in mixed case matches ASCII title words in any case and is wrapped as typed there.
  const std::string mixed = Body(SearchTarget("hIfI"));
  EXPECT_THAT(mixed, HasSubstr("<span class=\\\"H\\\">HiFi</span>"));
  EXPECT_THAT(Body(SearchTarget("没有这种商品")), Not(HasSubstr("groupId")));
}

struct SortCase {
  std::string name;
  std::string tail;
  std::string field;

  friend void PrintTo(const SortCase& c, std::ostream* os) { *os << c.name; }
};

class SandboxSortTest : public SandboxTest, public testing::WithParamInterface<SortCase> {};

TEST_P(SandboxSortTest, ProductsComeHighestFirst) {
  // Sort tails exactly as the client sends them; two of them repeat "toPage".
  const nlohmann::json reply = SearchJson(SearchTarget("耳机", "", GetParam().tail));
  const auto& list = reply["data"]["pagelist"];
  ASSERT_EQ(list.size(), 40u);
  for (std::size_t i = 1; i < list.size(); ++i) {
    EXPECT_GE(list[i - 1][GetParam().field].get<double>(), list[i][GetParam().field].get<double>())
        << "at " << i;
  }
  // The order really is by that field: a different field is not sorted the same way.
  const nlohmann::json other = SearchJson(SearchTarget(
      "耳机", "",
      GetParam().field == "tkRate" ? "&toPage=1&sort=_totalfee" : "&toPage=1&sort=_commrate"));
  EXPECT_NE(list[0]["auctionId"], other["data"]["pagelist"][0]["auctionId"]);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SandboxSortTest,
    testing::Values(SortCase{"sales", "&startRatesum=&loc=&sort=_totalnum", "totalNum"},
                    SortCase{"commission_rate", "&toPage=1&sort=_commrate", "tkRate"},
                    SortCase{"commission_paid", "&toPage=1&sort=_totalfee", "totalFee"}),
    [](const auto& row) { return row.param.name; });

struct FilterCase {
  std::string name;
  std::string filters;
  std::function<bool(const nlohmann::json&)> holds;

  friend void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }
};

class SandboxFilterTest : public SandboxTest, public testing::WithParamInterface<FilterCase> {};

TEST_P(SandboxFilterTest, EveryProductPassesAndSomeAreLeftOut) {
  const nlohmann::json all = SearchJson(SearchTarget("背包"));
  const nlohmann::json filtered = SearchJson(SearchTarget("背包", GetParam().filters));
  ASSERT_TRUE(filtered["data"]["pagelist"].is_array());
  EXPECT_LT(filtered["data"]["head"]["docsfound"], all["data"]["head"]["docsfound"]);
  for (const auto& product : filtered["data"]["pagelist"]) {
    EXPECT_TRUE(GetParam().holds(product)) << product.dump();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Filters, SandboxFilterTest,
    testing::Values(
        FilterCase{"commission_at_least",
                   "&startCommrate=20&startTotalnum=&endTotalnum=&startPrice=&endPrice=",
                   [](const auto& p) { return p["tkRate"].template get<double>() >= 20; }},
        FilterCase{"promotion_count_range",
                   "&startCommrate=&startTotalnum=100&endTotalnum=800&startPrice=&endPrice=",
                   [](const auto& p) {
                     int n = p["totalNum"].template get<int>();
                     return n >= 100 && n <= 800;
                   }},
        FilterCase{"price_range",
                   "&startCommrate=&startTotalnum=&endTotalnum=&startPrice=100&endPrice=200.5",
                   [](const auto& p) {
                     double price = p["zkPrice"].template get<double>();
                     return price >= 100 && price <= 200.5;
                   }}),
    [](const auto& row) { return row.param.name; });

TEST_F(SandboxTest, ProductLinkAsSearchWordFindsThatProduct) {
  const std::vector<std::string> ids = sandbox_.SourcePageProductIds("/collect/list2.htm");
  ASSERT_FALSE(ids.empty());
  // The lookup exactly as the collection run sends it.
  const std::string link = sandbox_.BaseUrl() + "/item.htm?id=" + ids[3];
  const std::string reply =
      Decode(Body("/pubauc/searchAuctionList.json?spm=0.0.0.0.uJhRtA&q=" + EncodeQuery(link) +
                  "&toPage=1&sort=_totalnum&perPagesize=40&_tb_token_=" + session_.token));
  const std::vector<std::string> records = Records(reply);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(Between(records[0], "auctionId\":\"", "\""), ids[3]);
}

TEST_F(SandboxTest, SourcePagesHoldBlocksWhoseLinksAndPricesCanBeCut) {
  const std::vector<std::string> paths = sandbox_.SourcePagePaths();
  ASSERT_GE(paths.size(), 2u);
  for (const std::string& path : paths) {
    auto res = Get(path, "");
    ASSERT_TRUE(res);
    EXPECT_THAT(res->get_header_value("Content-Type"), HasSubstr("GBK"));
    const std::vector<std::string> ids = sandbox_.SourcePageProductIds(path);
    std::vector<std::string> links;
    std::string_view page = res->body;
    // As the collection run cuts blocks: item-start code, then the first link of the block.
    for (std::size_t at = page.find("<li class=\"item\">", 1); at != std::string_view::npos;
         at = page.find("<li class=\"item\">", at + 1)) {
      const std::string block = Between(page.substr(at), "<li class=\"item\">", "</li>");
      links.push_back(Between(block, "<a href=\"", "\""));
      EXPECT_THAT(Between(block, "<em class=\"price\">", "</em>"),
                  testing::MatchesRegex("[0-9]+\\.[0-9][0-9]"));
    }
    ASSERT_EQ(links.size(), ids.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
      EXPECT_EQ(links[i], sandbox_.BaseUrl() + "/item.htm?id=" + ids[i]);
    }
  }
}

TEST_F(SandboxTest, LinkServicesCarryMarkersAndTheMembersIds) {
  const std::string reply = Body(SearchTarget("台灯"));
  const std::string record = Records(Decode(reply)).at(0);
  const std::string id = Between(record, "auctionId\":\"", "\"");
  const std::string seller = Between(record, "user_number_id=", "\"");
  const std::string pid = "mm_" + session_.member_id + "_2_3";
  const std::string ids = "&adzoneid=3&siteid=2&_tb_token_=" + session_.token;

  // The item-code reply is read without decoding: the link ends at the first "\",".
  const std::string item = Body("/common/code/getAuctionCode.json?auctionid=" + id + ids);
  const std::string link = Between(item, "eliteUrl\":\"", "\",");
  EXPECT_THAT(link, HasSubstr("pid=" + pid));
  EXPECT_THAT(link, HasSubstr("id=" + id));
  EXPECT_THAT(link, HasSubstr("%2F"));  // escapes reach the page as they are
  httplib::Client client("127.0.0.1", sandbox_.Port());
  auto click = client.Get(link.substr(sandbox_.BaseUrl().size()));
  ASSERT_TRUE(click);
  EXPECT_EQ(click->get_header_value("Location"), "/item.htm?id=" + id);

  const std::string shop =
      Decode(Body("/common/code/getShopCode.json?orimemberid=" + seller + ids));
  EXPECT_THAT(Between(shop, "clickUrl\":\"", "\""), HasSubstr("pid=" + pid));

  const std::string info = Decode(Body("/pubauc/searchPromotionInfo.json?oriMemberid=" + seller +
                                       "&_tb_token_=" + session_.token));
  EXPECT_THAT(Between(info, "SellLevelPicture\":[\"", "\""),
              testing::StartsWith(sandbox_.BaseUrl() + "/img/level/"));

  // A malformed mm number sends empty ids; the platform refuses them.
  EXPECT_THAT(Body("/common/code/getAuctionCode.json?auctionid=" + id +
                   "&adzoneid=&siteid=&_tb_token_=" + session_.token),
              Not(HasSubstr("eliteUrl")));
}

struct RefusalCase {
  std::string name;
  bool with_cookie;
  std::string token;  // "{token}" stands for the session's own

  friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class SandboxRefusalTest : public SandboxTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(SandboxRefusalTest, ServicesAnswerTheErrorObject) {
  const RefusalCase& c = GetParam();
  const std::string token = c.token == "{token}" ? session_.token : c.token;
  for (const std::string& target :
       {"/pubauc/searchAuctionList.json?q=%E8%80%B3%E6%9C%BA&_tb_token_=" + token,
        "/pubauc/searchPromotionInfo.json?oriMemberid=100010537&_tb_token_=" + token,
        "/common/code/getShopCode.json?orimemberid=1&adzoneid=3&siteid=2&_tb_token_=" + token,
        "/common/code/getAuctionCode.json?auctionid=1&adzoneid=3&siteid=2&_tb_token_=" + token}) {
    auto res = Get(target, c.with_cookie ? session_.cookie_value : "");
    ASSERT_TRUE(res);
    auto json = nlohmann::json::parse(res->body);
    EXPECT_TRUE(json["data"].is_null()) << target;
    EXPECT_EQ(json["info"]["ok"], false) << target;
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, SandboxRefusalTest,
                         testing::Values(RefusalCase{"no_cookie", false, "{token}"},
                                         RefusalCase{"wrong_token", true, "0123456789abc"},
                                         RefusalCase{"empty_token", true, ""}),
                         [](const auto& row) { return row.param.name; });

// --- short links -------------------------------------------------------------------------------

struct ShortCase {
  std::string name;
  std::string path;
  std::string body_prefix;
  std::string body_suffix;
  std::string marker;
  std::string json_key;

  friend void PrintTo(const ShortCase& c, std::ostream* os) { *os << c.name; }
};

class SandboxShortLinkTest : public SandboxTest, public testing::WithParamInterface<ShortCase> {};

TEST_P(SandboxShortLinkTest, ReplyValueLeadsBackToTheLongLink) {
  const ShortCase& c = GetParam();
  const std::string long_link = "http://s.example/click.htm?e=Wx%2F1&id=42";
  std::string every_byte;
  for (unsigned char b : long_link) {
    every_byte += {'%', "0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
  }
  const std::string reply = Post(c.path, c.body_prefix + every_byte + c.body_suffix);
  // The value as the client cuts it: slashes come escaped, as "\/".
  const std::string cut = Between(reply, c.marker, "\"");
  EXPECT_THAT(cut, HasSubstr("\\/"));

  auto json = nlohmann::json::parse(reply);
  std::string value = c.json_key == "tinyurl" ? json["tinyurl"].get<std::string>()
                                              : json["data"]["urls"][0]["url"].get<std::string>();
  const std::string host = sandbox_.HostPort();
  ASSERT_NE(value.find(host), std::string::npos) << value;
  // Read raw: httplib's client percent-decodes header values.
  const std::string follow = SendRaw(
      sandbox_.Port(), "GET " + value.substr(value.find(host) + host.size()) + " HTTP/1.1\r\n\r\n");
  EXPECT_THAT(follow, testing::StartsWith("HTTP/1.1 302"));
  EXPECT_THAT(follow, HasSubstr("\r\nLocation: " + long_link + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Services, SandboxShortLinkTest,
                         testing::Values(ShortCase{"netease", "/short.action",
                                                   "json=%7B%22urls%22%3A%5B%7B%22url%22%3A%22",
                                                   "%22%7D%5D%7D", "url\":\"", "url"},
                                         ShortCase{"baidu", "/create.php",
                                                   "url=", "&alias=&access_type=web",
                                                   "tinyurl\":\"", "tinyurl"}),
                         [](const auto& row) { return row.param.name; });

// --- faults ------------------------------------------------------------------------------------

TEST_F(SandboxTest, FaultsReplaceTheReply) {
  const std::string path = "/pubauc/searchAuctionList.json";
  const std::string target = SearchTarget("口红");

  sandbox_.InjectFault(path, Fault::HtmlErrorPage().Times(1));
  auto error = Get(target, session_.cookie_value);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->status, 502);
  EXPECT_THAT(error->body, HasSubstr("<html>"));
  EXPECT_THAT(error->body, Not(HasSubstr("groupId")));
  // Times(1): the next request is answered normally.
  EXPECT_EQ(Records(Decode(Body(target))).size(), 40u);

  sandbox_.InjectFault(path, Fault::GarbageBytes().Times(1));
  auto garbage = Get(target, session_.cookie_value);
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->status, 200);
  EXPECT_NE(garbage->body.find('\0'), std::string::npos);
  EXPECT_THAT(garbage->body, Not(HasSubstr("groupId")));

  sandbox_.InjectFault(path, Fault::HugeBody(24u << 20).Times(1));
  auto huge = Get(target, session_.cookie_value);
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->body.size(), 24u << 20);

  sandbox_.InjectFault(path, Fault::DropConnection().Times(1));
  auto dropped = Get(target, session_.cookie_value);
  EXPECT_FALSE(dropped);

  sandbox_.InjectFault(path, Fault::LoggedOut());
  EXPECT_THAT(Body(target), HasSubstr("\"nologin\""));
  EXPECT_THAT(Body("/membersvc/index.htm"), HasSubstr(kQuitGbk));  // other paths unaffected
  sandbox_.ClearFaults();
  EXPECT_EQ(Records(Decode(Body(target))).size(), 40u);
}

TEST_F(SandboxTest, WildcardLoggedOutFaultHidesTheSessionEverywhere) {
  sandbox_.InjectFault("*", Fault::LoggedOut());
  EXPECT_THAT(Body("/membersvc/index.htm"), Not(HasSubstr(kQuitGbk)));
  EXPECT_THAT(Body("/common/getUnionPubContextInfo.json"), Not(HasSubstr("tb_token_")));
}

TEST_F(SandboxTest, DelayHoldsTheReplyBack) {
  sandbox_.InjectFault("/proxy.htm", Fault::Delay(300).Times(1));
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Get("/proxy.htm", ""));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(SandboxTest, StopEndsAPendingDelayAndJoins) {
  sandbox_.InjectFault("/proxy.htm", Fault::Delay(60000));
  auto pending = std::async(std::launch::async, [&] { return Get("/proxy.htm", "").error(); });
  while (sandbox_.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  auto start = std::chrono::steady_clock::now();
  sandbox_.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  pending.get();
  // Serving can start again after a stop.
  ASSERT_TRUE(sandbox_.Start(0));
  sandbox_.ClearFaults();
  EXPECT_TRUE(Get("/proxy.htm", ""));
}

// --- recording ---------------------------------------------------------------------------------

TEST_F(SandboxTest, RecordsRequestsAsTheyArrivedOnTheWire) {
  sandbox_.ClearRequests();
  const std::string body = "url=%68%74%74%70&alias=&access_type=web";
  const std::string reply =
      SendRaw(sandbox_.Port(),
              "POST /create.php?x=%41+b&x=2 HTTP/1.1\r\nReferer: http://here/create.php\r\n"
              "Accept: */*\r\nAccept-Language: zh-cn\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\nHost: 127.0.0.1\r\n"
              "Content-Length: " +
                  std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_THAT(reply, HasSubstr("tinyurl"));
  Get("/proxy.htm", "abc");

  const std::vector<RecordedRequest> requests = sandbox_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/create.php?x=%41+b&x=2");
  EXPECT_EQ(requests[0].Path(), "/create.php");
  const std::vector<std::pair<std::string, std::string>> headers{
      {"Referer", "http://here/create.php"},
      {"Accept", "*/*"},
      {"Accept-Language", "zh-cn"},
      {"Content-Type", "application/x-www-form-urlencoded"},
      {"Host", "127.0.0.1"},
      {"Content-Length", std::to_string(body.size())}};
  EXPECT_EQ(requests[0].headers, headers);
  EXPECT_EQ(requests[0].body, body);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].target, "/proxy.htm");
  EXPECT_EQ(requests[1].Header("cookie"), sandbox_.SessionCookieName() + "=abc");
}

// --- catalogue ---------------------------------------------------------------------------------

TEST(SandboxCatalogueTest, SameSeedSameProducts) {
  const Catalogue a(7, 3000);
  const Catalogue b(7, 3000);
  const Catalogue c(8, 3000);
  ASSERT_EQ(a.Products().size(), 3000u);
  std::set<std::string> ids;
  std::set<std::string> titles;
  for (std::size_t i = 0; i < a.Products().size(); ++i) {
    EXPECT_EQ(a.Products()[i].title, b.Products()[i].title);
    EXPECT_EQ(a.Products()[i].price_fen, b.Products()[i].price_fen);
    ids.insert(a.Products()[i].auction_id);
    titles.insert(a.Products()[i].title);
  }
  EXPECT_EQ(ids.size(), 3000u);
  EXPECT_EQ(titles.size(), 3000u);  // links are paired with products by title
  int same = 0;
  for (std::size_t i = 0; i < a.Products().size(); ++i) {
    same += a.Products()[i].title == c.Products()[i].title;
  }
  EXPECT_LT(same, 300);
}

// --- the program -------------------------------------------------------------------------------

TEST(SandboxProgramTest, ServesUntilSigint) {
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char program[] = PAGOLING_SIM_PROGRAM;
  char port_flag[] = "--port";
  char port[] = "0";
  char* argv[] = {program, port_flag, port, nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  std::string first_line;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') first_line.push_back(c);
  const std::string prefix = "pagoling-sim listening on http://127.0.0.1:";
  ASSERT_EQ(first_line.rfind(prefix, 0), 0u) << first_line;
  httplib::Client client("127.0.0.1", std::stoi(first_line.substr(prefix.size())));
  auto res = client.Get("/membersvc/index.htm");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);

  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ::close(out[0]);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace pagoling::sim
