#include "sim/sandbox.h"

#include <httplib.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "platform/codepage.h"
#include "sim/catalogue.h"
#include "sim/pages.h"
#include "sim/replies.h"

namespace pagoling::sim {
namespace {

constexpr std::string_view kCookieName = "simsid";
constexpr std::string_view kJsonType = "application/json;charset=UTF-8";
constexpr std::string_view kHtmlType = "text/html;charset=GBK";
constexpr std::size_t kMaxRecorded = 100000;
constexpr int kReadTimeoutSeconds = 5;

// The categories that the collection source pages list, one page each.
constexpr int kSourceCategories[] = {0, 4, 5, 8};
constexpr int kProductsPerSourcePage = 12;

using Params = std::vector<std::pair<std::string, std::string>>;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Form decoding: "+" is a space, a "%" without two hex digits stays as it is.
std::string FormDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out.push_back(' ');
    } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

Params ParseForm(std::string_view text) {
  Params params;
  while (!text.empty()) {
    std::size_t amp = text.find('&');
    std::string_view pair = text.substr(0, amp);
    if (!pair.empty()) {
      std::size_t eq = pair.find('=');
      params.emplace_back(FormDecode(pair.substr(0, eq)),
                          eq == std::string_view::npos ? "" : FormDecode(pair.substr(eq + 1)));
    }
    if (amp == std::string_view::npos) break;
    text.remove_prefix(amp + 1);
  }
  return params;
}

// The first value of a key: the search sends "toPage" twice in two of its sort modes.
std::string Param(const Params& params, std::string_view key) {
  for (const auto& [k, v] : params) {
    if (k == key) return v;
  }
  return {};
}

std::optional<double> NumberParam(const Params& params, std::string_view key) {
  std::string text = Param(params, key);
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return std::nullopt;
  return value;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The request line and header lines exactly as read; httplib keeps headers in a sorted map and
// adds its own, so order and spelling come from the bytes on the wire.
RecordedRequest ParseWire(std::string_view raw) {
  RecordedRequest rec;
  std::size_t end = raw.find("\r\n\r\n");
  std::string_view head = raw.substr(0, end);
  std::size_t line_end = head.find("\r\n");
  std::string_view request_line = head.substr(0, line_end);
  std::size_t sp1 = request_line.find(' ');
  std::size_t sp2 = request_line.rfind(' ');
  if (sp1 != std::string_view::npos) {
    rec.method = std::string(request_line.substr(0, sp1));
    if (sp2 > sp1) rec.target = std::string(request_line.substr(sp1 + 1, sp2 - sp1 - 1));
  }
  while (line_end != std::string_view::npos) {
    std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    std::string_view line = head.substr(
        start, line_end == std::string_view::npos ? std::string_view::npos : line_end - start);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    rec.headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
  }
  return rec;
}

// A socket stream that keeps a copy of every byte handed to httplib's request parser.
class RecordingStream final : public httplib::Stream {
 public:
  explicit RecordingStream(int fd) : fd_(fd) {}

  bool is_readable() const override { return pos_ < buffer_.size() || Wait(POLLIN); }
  bool is_writable() const override { return !dropped_ && Wait(POLLOUT); }

  ssize_t read(char* ptr, size_t size) override {
    if (pos_ == buffer_.size()) {
      if (dropped_ || !Wait(POLLIN)) return -1;
      buffer_.resize(16384);
      ssize_t n = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
      if (n <= 0) {
        buffer_.clear();
        pos_ = 0;
        return n;
      }
      buffer_.resize(static_cast<std::size_t>(n));
      pos_ = 0;
    }
    std::size_t n = std::min(size, buffer_.size() - pos_);
    std::copy_n(buffer_.data() + pos_, n, ptr);
    raw_.append(ptr, n);
    pos_ += n;
    return static_cast<ssize_t>(n);
  }

  using httplib::Stream::write;
  ssize_t write(const char* ptr, size_t size) override {
    if (dropped_ || !Wait(POLLOUT)) return -1;
    return ::send(fd_, ptr, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    Address(&getpeername, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    Address(&getsockname, ip, port);
  }
  socket_t socket() const override { return fd_; }

  const std::string& raw() const { return raw_; }

  // Ends the connection without a reply; whatever httplib writes afterwards goes nowhere.
  void Drop() {
    dropped_ = true;
    ::shutdown(fd_, SHUT_RDWR);
  }

 private:
  bool Wait(short events) const {
    pollfd p{fd_, events, 0};
    return ::poll(&p, 1, kReadTimeoutSeconds * 1000) > 0 && (p.revents & (events | POLLHUP)) != 0;
  }

  template <typename Getter>
  void Address(Getter getter, std::string& ip, int& port) const {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (getter(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return;
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<sockaddr*>(&addr), len, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
      ip = host;
      port = std::atoi(service);
    }
  }

  int fd_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::string raw_;
  bool dropped_ = false;
};

// The connection whose request the current thread is answering.
thread_local RecordingStream* current_stream = nullptr;

// httplib's own socket loop hides the raw bytes; this one reads each connection through a
// RecordingStream and answers one request per connection.
class WireServer final : public httplib::Server {
 private:
  bool process_and_close_socket(socket_t sock) override {
    RecordingStream stream(sock);
    current_stream = &stream;
    bool closed = false;
    bool ok = process_request(stream, /*close_connection=*/true, closed, nullptr);
    current_stream = nullptr;
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
  }
};

struct SessionData {
  std::string cookie_value;
  Member member;
};

struct FaultPlan {
  int delay_ms = 0;
  bool logged_out = false;
  std::optional<Fault> terminal;
};

std::string RandomHex(std::mt19937_64& engine, int digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < digits; ++i) out.push_back(kHex[engine() % 16]);
  return out;
}

std::string Base62(std::uint64_t n) {
  static constexpr char kDigits[] =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[n % 62]);
    n /= 62;
  } while (n != 0);
  return out;
}

}  // namespace

std::string RecordedRequest::Path() const { return target.substr(0, target.find('?')); }

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (EqualsIgnoreCase(key, name)) return value;
  }
  return {};
}

Fault Fault::Delay(int ms) {
  Fault f;
  f.kind = Kind::kDelay;
  f.delay_ms = ms;
  return f;
}
Fault Fault::DropConnection() {
  Fault f;
  f.kind = Kind::kDropConnection;
  return f;
}
Fault Fault::HtmlErrorPage() {
  Fault f;
  f.kind = Kind::kHtmlErrorPage;
  return f;
}
Fault Fault::GarbageBytes() {
  Fault f;
  f.kind = Kind::kGarbageBytes;
  return f;
}
Fault Fault::HugeBody(std::size_t bytes) {
  Fault f;
  f.kind = Kind::kHugeBody;
  f.huge_bytes = bytes;
  return f;
}
Fault Fault::LoggedOut() {
  Fault f;
  f.kind = Kind::kLoggedOut;
  return f;
}
Fault Fault::Times(int n) const {
  Fault f = *this;
  f.count = n;
  return f;
}

struct Sandbox::Impl {
  explicit Impl(Options opts)
      : options(std::move(opts)),
        catalogue(options.seed, options.product_count),
        engine(std::random_device{}()) {
    for (int i = 0; i < static_cast<int>(std::size(kSourceCategories)); ++i) {
      std::vector<const Product*> products = catalogue.ProductsOfCategory(kSourceCategories[i]);
      std::stable_sort(products.begin(), products.end(), [](const Product* a, const Product* b) {
        return a->biz30day > b->biz30day;
      });
      products.resize(std::min<std::size_t>(products.size(), kProductsPerSourcePage));
      source_pages.emplace_back("/collect/list" + std::to_string(i + 1) + ".htm",
                                std::move(products));
    }
  }

  struct Exchange {
    const httplib::Request& req;
    httplib::Response& res;
    const RecordedRequest& rec;
    Params query;
    Params form;
    bool logged_out;
    std::string base_url;
  };

  void Handle(const httplib::Request& req, httplib::Response& res);
  void Route(Exchange& ex);
  FaultPlan TakeFaults(const std::string& path);
  void ApplyTerminal(const Fault& fault, Exchange& ex);
  // A copy, so a log-out on another thread cannot pull it away.
  std::optional<SessionData> SessionOf(const Exchange& ex);
  // The member behind a platform service request; without one the error reply is already set.
  std::optional<SessionData> CheckedMember(Exchange& ex);
  Session NewSession(const std::string& user);

  void SendJson(Exchange& ex, const std::string& body) {
    ex.res.set_content(body, kJsonType.data());
  }
  void SendHtml(Exchange& ex, const std::string& utf8_page, int status = 200) {
    ex.res.status = status;
    ex.res.set_content(platform::GbkFromUtf8(utf8_page), kHtmlType.data());
  }

  void Context(Exchange& ex);
  void Search(Exchange& ex);
  void PromotionInfo(Exchange& ex);
  void ShopCode(Exchange& ex);
  void ItemCode(Exchange& ex);
  void Login(Exchange& ex, std::string_view heading, std::string_view redirect_key);
  void Logout(Exchange& ex);
  void ShortLink(Exchange& ex, bool netease);
  void FollowShortLink(Exchange& ex, std::string_view key);
  void Static(Exchange& ex);
  std::string Pid(const SessionData& session, const Exchange& ex) const {
    return "mm_" + session.member.member_id + "_" + Param(ex.query, "siteid") + "_" +
           Param(ex.query, "adzoneid");
  }

  Options options;
  Catalogue catalogue;
  std::vector<std::pair<std::string, std::vector<const Product*>>> source_pages;

  std::vector<std::string> SourcePaths() const {
    std::vector<std::string> paths;
    for (const auto& page : source_pages) paths.push_back(page.first);
    return paths;
  }

  mutable std::mutex mutex;  // guards everything below
  std::mt19937_64 engine;
  std::map<std::string, SessionData> sessions;
  std::uint64_t next_member = 20000001;
  std::vector<RecordedRequest> requests;
  std::vector<std::pair<std::string, Fault>> faults;
  std::map<std::string, std::string> short_links;  // key -> long address
  std::uint64_t next_short = 100000;
  bool stopping = false;
  std::condition_variable stop_signal;

  std::unique_ptr<WireServer> server;
  std::thread listener;
  std::unique_ptr<httplib::SSLServer> tls_server;
  std::thread tls_listener;
  int tls_port = -1;
  std::atomic<bool> listener_done{false};
  int port = -1;
};

void Sandbox::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
  RecordedRequest rec;
  if (current_stream != nullptr) rec = ParseWire(current_stream->raw());
  if (rec.method.empty()) {
    // The TLS listener has no raw stream: httplib's parsed request is all there is.
    rec.method = req.method;
    rec.target = req.target;
    for (const auto& [name, value] : req.headers) rec.headers.emplace_back(name, value);
  }
  rec.body = req.body;
  {
    std::lock_guard lock(mutex);
    if (requests.size() == kMaxRecorded) requests.erase(requests.begin());
    requests.push_back(rec);
  }
  if (options.on_request) options.on_request(rec);

  FaultPlan plan = TakeFaults(rec.Path());
  if (plan.delay_ms > 0) {
    std::unique_lock lock(mutex);
    stop_signal.wait_for(lock, std::chrono::milliseconds(plan.delay_ms), [&] { return stopping; });
  }

  std::string host = rec.Header("Host");
  if (host.empty()) host = options.host + ":" + std::to_string(port);
  const std::size_t question = rec.target.find('?');
  Exchange ex{
      req,
      res,
      rec,
      ParseForm(question == std::string::npos ? std::string_view()
                                              : std::string_view(rec.target).substr(question + 1)),
      {},
      plan.logged_out,
      "http://" + host};
  if (rec.method == "POST") ex.form = ParseForm(rec.body);

  if (plan.terminal) {
    ApplyTerminal(*plan.terminal, ex);
    return;
  }
  Route(ex);
}

FaultPlan Sandbox::Impl::TakeFaults(const std::string& path) {
  FaultPlan plan;
  std::lock_guard lock(mutex);
  for (auto& [fault_path, fault] : faults) {
    if (fault_path != "*" && fault_path != path) continue;
    if (fault.count) {
      if (*fault.count <= 0) continue;
      --*fault.count;
    }
    switch (fault.kind) {
      case Fault::Kind::kDelay:
        plan.delay_ms += fault.delay_ms;
        break;
      case Fault::Kind::kLoggedOut:
        plan.logged_out = true;
        break;
      default:
        if (!plan.terminal) plan.terminal = fault;
    }
  }
  std::erase_if(faults,
                [](const auto& entry) { return entry.second.count && *entry.second.count <= 0; });
  return plan;
}

void Sandbox::Impl::ApplyTerminal(const Fault& fault, Exchange& ex) {
  switch (fault.kind) {
    case Fault::Kind::kDropConnection:
      if (current_stream != nullptr) current_stream->Drop();
      ex.res.status = 500;
      return;
    case Fault::Kind::kHtmlErrorPage:
      SendHtml(ex, ErrorPage(), 502);
      return;
    case Fault::Kind::kGarbageBytes: {
      // Bytes that trip decoders: a '%' before non-hex, NULs, a GBK lead byte left alone at the
      // end, and invalid UTF-8 in between.
      std::mt19937 bytes(4242);
      std::string body = "%zz\x01";
      body.push_back('\0');
      for (int i = 0; i < 4096; ++i) body.push_back(static_cast<char>(bytes() & 0xFF));
      body += "%4";
      body.push_back('\x81');
      ex.res.set_content(body, kJsonType.data());
      return;
    }
    case Fault::Kind::kHugeBody: {
      auto chunk = std::make_shared<std::string>();
      for (int i = 0; chunk->size() < 65536; ++i)
        chunk->append("0123456789abcdefghijklmnopqrstuvwxyz\n");
      ex.res.set_content_provider(fault.huge_bytes, kJsonType.data(),
                                  [chunk](size_t offset, size_t length, httplib::DataSink& sink) {
                                    std::size_t at = offset % chunk->size();
                                    std::size_t n = std::min(length, chunk->size() - at);
                                    return sink.write(chunk->data() + at, n);
                                  });
      return;
    }
    case Fault::Kind::kDelay:
    case Fault::Kind::kLoggedOut:
      break;
  }
}

std::optional<SessionData> Sandbox::Impl::SessionOf(const Exchange& ex) {
  if (ex.logged_out) return std::nullopt;
  std::lock_guard lock(mutex);
  for (const auto& [name, value] : ex.rec.headers) {
    if (!EqualsIgnoreCase(name, "Cookie")) continue;
    std::string pairs = value;
    std::replace(pairs.begin(), pairs.end(), ';', '&');
    for (const auto& [key, cookie] : ParseForm(pairs)) {
      std::string_view trimmed = key;
      while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
      if (trimmed != kCookieName) continue;
      if (auto it = sessions.find(cookie); it != sessions.end()) return it->second;
    }
  }
  return std::nullopt;
}

std::optional<SessionData> Sandbox::Impl::CheckedMember(Exchange& ex) {
  std::optional<SessionData> session = SessionOf(ex);
  if (!session) {
    SendJson(ex, ErrorReply("nologin"));
  } else if (Param(ex.query, "_tb_token_") != session->member.token) {
    SendJson(ex, ErrorReply("invalid _tb_token_"));
    return std::nullopt;
  }
  return session;
}

Session Sandbox::Impl::NewSession(const std::string& user) {
  std::lock_guard lock(mutex);
  Session s;
  s.cookie_value = RandomHex(engine, 32);
  s.token = RandomHex(engine, 13);
  s.member_id = std::to_string(next_member++);
  sessions[s.cookie_value] = SessionData{s.cookie_value, Member{user, s.member_id, s.token}};
  return s;
}

void Sandbox::Impl::Route(Exchange& ex) {
  const std::string path = ex.rec.Path();
  const bool post = ex.rec.method == "POST";
  if (path == "/common/getUnionPubContextInfo.json") return Context(ex);
  if (path == "/pubauc/searchAuctionList.json") return Search(ex);
  if (path == "/pubauc/searchPromotionInfo.json") return PromotionInfo(ex);
  if (path == "/common/code/getShopCode.json") return ShopCode(ex);
  if (path == "/common/code/getAuctionCode.json") return ItemCode(ex);
  if (path == "/member/minilogin.htm") return Login(ex, "登录推广平台", "redirect");
  if (path == "/member/login.jhtml") return Login(ex, "会员登录", "redirectURL");
  if (path == "/member/logout.htm") return Logout(ex);
  if (path == "/short.action" && post) return ShortLink(ex, /*netease=*/true);
  if (path == "/create.php" && post) return ShortLink(ex, /*netease=*/false);
  if (path.starts_with("/n/") || path.starts_with("/b/"))
    return FollowShortLink(ex, path.substr(3));
  Static(ex);
}

void Sandbox::Impl::Context(Exchange& ex) {
  std::optional<SessionData> session = SessionOf(ex);
  SendJson(ex, ContextReply(session ? &session->member : nullptr));
}

void Sandbox::Impl::Search(Exchange& ex) {
  if (!CheckedMember(ex)) return;
  SearchQuery query;
  query.q = Param(ex.query, "q");
  query.min_commission_percent = NumberParam(ex.query, "startCommrate");
  query.min_total_num = NumberParam(ex.query, "startTotalnum");
  query.max_total_num = NumberParam(ex.query, "endTotalnum");
  query.min_price = NumberParam(ex.query, "startPrice");
  query.max_price = NumberParam(ex.query, "endPrice");
  const std::string sort = Param(ex.query, "sort");
  if (sort == "_totalnum") query.sort = SearchQuery::Sort::kTotalNum;
  if (sort == "_commrate") query.sort = SearchQuery::Sort::kCommissionRate;
  if (sort == "_totalfee") query.sort = SearchQuery::Sort::kTotalFee;
  query.page = std::max(1, static_cast<int>(NumberParam(ex.query, "toPage").value_or(1)));
  query.page_size =
      std::clamp(static_cast<int>(NumberParam(ex.query, "perPagesize").value_or(40)), 1, 100);
  SendJson(ex, SearchReply(catalogue, query, catalogue.Search(query), ex.base_url));
}

void Sandbox::Impl::PromotionInfo(Exchange& ex) {
  if (!CheckedMember(ex)) return;
  const Shop* shop = catalogue.FindShop(Param(ex.query, "oriMemberid"));
  if (shop == nullptr) return SendJson(ex, ErrorReply("unknown oriMemberid"));
  SendJson(ex, PromotionInfoReply(*shop, ex.base_url));
}

void Sandbox::Impl::ShopCode(Exchange& ex) {
  std::optional<SessionData> session = CheckedMember(ex);
  if (!session) return;
  if (!IsDigits(Param(ex.query, "siteid")) || !IsDigits(Param(ex.query, "adzoneid"))) {
    return SendJson(ex, ErrorReply("invalid siteid or adzoneid"));
  }
  const Shop* shop = catalogue.FindShop(Param(ex.query, "orimemberid"));
  if (shop == nullptr) return SendJson(ex, ErrorReply("unknown orimemberid"));
  SendJson(ex, ShopCodeReply(*shop, Pid(*session, ex), ex.base_url));
}

void Sandbox::Impl::ItemCode(Exchange& ex) {
  std::optional<SessionData> session = CheckedMember(ex);
  if (!session) return;
  if (!IsDigits(Param(ex.query, "siteid")) || !IsDigits(Param(ex.query, "adzoneid"))) {
    return SendJson(ex, ErrorReply("invalid siteid or adzoneid"));
  }
  const Product* product = catalogue.FindProduct(Param(ex.query, "auctionid"));
  if (product == nullptr) return SendJson(ex, ErrorReply("unknown auctionid"));
  SendJson(ex, ItemCodeReply(*product, Pid(*session, ex), ex.base_url));
}

void Sandbox::Impl::Login(Exchange& ex, std::string_view heading, std::string_view redirect_key) {
  const std::string path = ex.rec.Path();
  if (ex.rec.method != "POST") {
    return SendHtml(ex, LoginPage(heading, path, Param(ex.query, redirect_key), ""));
  }
  std::string redirect = Param(ex.form, "redirect");
  if (redirect.empty()) redirect = Param(ex.query, redirect_key);
  const std::string user = Param(ex.form, "user");
  if (user.empty() || Param(ex.form, "password").empty()) {
    return SendHtml(ex, LoginPage(heading, path, redirect, "请输入账户名和密码。"));
  }
  Session session = NewSession(user);
  ex.res.set_header("Set-Cookie",
                    std::string(kCookieName) + "=" + session.cookie_value + "; Path=/; HttpOnly");
  ex.res.set_redirect(redirect.empty() ? "/membersvc/index.htm" : redirect, 302);
}

void Sandbox::Impl::Logout(Exchange& ex) {
  if (std::optional<SessionData> session = SessionOf(ex)) {
    std::lock_guard lock(mutex);
    sessions.erase(session->cookie_value);
  }
  ex.res.set_header("Set-Cookie", std::string(kCookieName) + "=; Path=/; Max-Age=0");
  ex.res.set_redirect("/membersvc/index.htm", 302);
}

void Sandbox::Impl::ShortLink(Exchange& ex, bool netease) {
  std::string long_url;
  if (netease) {
    // The form field "json" holds {"urls":[{"url":"<link>"}]}.
    auto json = nlohmann::json::parse(Param(ex.form, "json"), nullptr, /*allow_exceptions=*/false);
    if (json.is_object() && json["urls"].is_array() && !json["urls"].empty() &&
        json["urls"][0]["url"].is_string()) {
      long_url = json["urls"][0]["url"].get<std::string>();
    }
  } else {
    long_url = Param(ex.form, "url");
  }
  if (long_url.empty()) {
    return SendJson(ex,
                    netease ? NeteaseShortError("missing url") : BaiduShortError("missing url"));
  }
  std::string key;
  {
    std::lock_guard lock(mutex);
    key = Base62(next_short++);
    short_links[key] = long_url;
  }
  // The client strips every "/" from the value; the replies escape them as "\/", so the
  // backslashes left behind still read as a path to a browser.
  const std::string host = ex.base_url.substr(std::string_view("http://").size());
  if (netease) {
    SendJson(ex, NeteaseShortReply(host + "/n/" + key, long_url));
  } else {
    SendJson(ex, BaiduShortReply(ex.base_url + "/b/" + key, long_url));
  }
}

void Sandbox::Impl::FollowShortLink(Exchange& ex, std::string_view key) {
  std::string target;
  {
    std::lock_guard lock(mutex);
    if (auto it = short_links.find(std::string(key)); it != short_links.end()) target = it->second;
  }
  if (target.empty()) return SendHtml(ex, NotFoundPage(ex.rec.Path()), 404);
  ex.res.set_redirect(target, 302);
}

void Sandbox::Impl::Static(Exchange& ex) {
  const std::string path = ex.rec.Path();
  std::optional<SessionData> session = SessionOf(ex);
  const std::string user = session ? session->member.user : std::string();
  if (path == "/membersvc/index.htm") return SendHtml(ex, MemberPage(user));
  if (path == "/index.htm") return SendHtml(ex, AdHomePage(user));
  if (path == "/proxy.htm") return SendHtml(ex, ProxyPage());
  if (path == "/member/taobaoke/login.htm") {
    if (session) return ex.res.set_redirect("/index.htm", 302);
    return SendHtml(ex, MarketLandingPage("/member/login.jhtml?redirectURL=%2Findex.htm"));
  }
  if (path == "/") return SendHtml(ex, IndexPage(ex.base_url, SourcePaths()));
  if (path == "/collect/index.htm") return SendHtml(ex, SourceIndexPage(SourcePaths()));
  for (const auto& [page_path, products] : source_pages) {
    if (page_path != path) continue;
    const std::string heading =
        std::string(Catalogue::CategoryName(products.empty() ? 0 : products.front()->category)) +
        "热销榜";
    return SendHtml(ex, SourcePage(catalogue, heading, products, ex.base_url));
  }
  if (path == "/item.htm" || path == "/click.htm") {
    const Product* product = catalogue.FindProduct(Param(ex.query, "id"));
    if (product == nullptr) return SendHtml(ex, NotFoundPage(path), 404);
    if (path == "/click.htm")
      return ex.res.set_redirect("/item.htm?id=" + product->auction_id, 302);
    return SendHtml(ex, ItemPage(catalogue, *product, ex.base_url));
  }
  if (path == "/shop.htm" || path == "/shop/click.htm") {
    const Shop* shop = catalogue.FindShop(Param(ex.query, "user_number_id"));
    if (shop == nullptr) return SendHtml(ex, NotFoundPage(path), 404);
    if (path == "/shop/click.htm") {
      return ex.res.set_redirect("/shop.htm?user_number_id=" + shop->user_number_id, 302);
    }
    return SendHtml(ex, ShopPage(catalogue, *shop, ex.base_url));
  }
  if (path.starts_with("/img/p/")) {
    std::string_view name = std::string_view(path).substr(7);
    std::size_t digits = 0;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
    ex.res.set_content(ProductPicture(catalogue.FindProduct(name.substr(0, digits))),
                       "image/svg+xml");
    return;
  }
  if (path.starts_with("/img/level/")) {
    ex.res.set_content(CreditPicture(path.substr(11)), "image/svg+xml");
    return;
  }
  SendHtml(ex, NotFoundPage(path), 404);
}

Sandbox::Sandbox(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Sandbox::~Sandbox() { Stop(); }

bool Sandbox::Start(int port) {
  Stop();
  Impl& d = *impl_;
  d.server = std::make_unique<WireServer>();
  auto handler = [&d](const httplib::Request& req, httplib::Response& res) { d.Handle(req, res); };
  d.server->Get(".*", handler);
  d.server->Post(".*", handler);
  d.server->set_read_timeout(kReadTimeoutSeconds, 0);
  d.server->set_write_timeout(kReadTimeoutSeconds, 0);
  if (port == 0) {
    d.port = d.server->bind_to_any_port(d.options.host);
  } else if (d.server->bind_to_port(d.options.host, port)) {
    d.port = port;
  } else {
    d.port = -1;
  }
  if (d.port <= 0) {
    d.server.reset();
    d.port = -1;
    return false;
  }
  d.listener_done = false;
  d.listener = std::thread([&d] {
    d.server->listen_after_bind();
    d.listener_done = true;
  });
  // stop() only takes effect once the server runs; wait for it so Stop() cannot be lost.
  while (!d.server->is_running() && !d.listener_done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return d.server->is_running();
}

bool Sandbox::StartTls(int port, const std::string& certificate_file, const std::string& key_file) {
  Impl& d = *impl_;
  d.tls_server = std::make_unique<httplib::SSLServer>(certificate_file.c_str(), key_file.c_str());
  if (!d.tls_server->is_valid()) {
    d.tls_server.reset();
    return false;
  }
  auto handler = [&d](const httplib::Request& req, httplib::Response& res) { d.Handle(req, res); };
  d.tls_server->Get(".*", handler);
  d.tls_server->Post(".*", handler);
  d.tls_port = port == 0 ? d.tls_server->bind_to_any_port(d.options.host)
                         : (d.tls_server->bind_to_port(d.options.host, port) ? port : -1);
  if (d.tls_port <= 0) {
    d.tls_server.reset();
    d.tls_port = -1;
    return false;
  }
  d.tls_listener = std::thread([&d] { d.tls_server->listen_after_bind(); });
  while (!d.tls_server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

int Sandbox::TlsPort() const { return impl_->tls_port; }

void Sandbox::Stop() {
  Impl& d = *impl_;
  {
    std::lock_guard lock(d.mutex);
    d.stopping = true;
  }
  d.stop_signal.notify_all();
  if (d.tls_server) d.tls_server->stop();
  if (d.tls_listener.joinable()) d.tls_listener.join();
  d.tls_server.reset();
  d.tls_port = -1;
  if (d.server) d.server->stop();
  if (d.listener.joinable()) d.listener.join();
  d.server.reset();
  std::lock_guard lock(d.mutex);
  d.stopping = false;
}

int Sandbox::Port() const { return impl_->port; }

std::string Sandbox::HostPort() const {
  return impl_->options.host + ":" + std::to_string(impl_->port);
}

std::string Sandbox::BaseUrl() const { return "http://" + HostPort(); }

std::vector<RecordedRequest> Sandbox::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void Sandbox::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

void Sandbox::InjectFault(std::string path, Fault fault) {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.emplace_back(std::move(path), fault);
}

void Sandbox::ClearFaults() {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.clear();
}

std::string Sandbox::SessionCookieName() const { return std::string(kCookieName); }

Session Sandbox::CreateSession(const std::string& user) { return impl_->NewSession(user); }

std::vector<std::string> Sandbox::SourcePagePaths() const { return impl_->SourcePaths(); }

std::vector<std::string> Sandbox::SourcePageProductIds(const std::string& path) const {
  std::vector<std::string> ids;
  for (const auto& [page_path, products] : impl_->source_pages) {
    if (page_path != path) continue;
    for (const Product* p : products) ids.push_back(p->auction_id);
  }
  return ids;
}

}  // namespace pagoling::sim
