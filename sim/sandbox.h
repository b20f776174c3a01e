#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagoling::sim {

// One request as it arrived on the wire, for tests that assert what the client sent.
struct RecordedRequest {
  std::string method;
  std::string target;                                        // path with query, exactly as received
  std::vector<std::pair<std::string, std::string>> headers;  // in received order
  std::string body;

  // The path of the target without its query.
  std::string Path() const;
  // The value of the first header of that name (case ignored), empty when absent.
  std::string Header(std::string_view name) const;
};

// A misbehaviour the sandbox plays on requests to one path, to test the client's failure paths.
struct Fault {
  enum class Kind {
    kDelay,           // answer normally, but only after delay_ms
    kDropConnection,  // close the connection without any reply
    kHtmlErrorPage,   // status 502 and a GBK HTML error page instead of the reply
    kGarbageBytes,    // status 200 with random bytes (stray '%', NULs, lone GBK lead bytes)
    kHugeBody,        // status 200 with a body of huge_bytes filler bytes
    kLoggedOut,       // answer as if the request carried no session cookie
  };

  Kind kind = Kind::kDelay;
  int delay_ms = 0;
  std::size_t huge_bytes = std::size_t{32} << 20;
  // How many requests the fault applies to; every request when empty.
  std::optional<int> count;

  static Fault Delay(int ms);
  static Fault DropConnection();
  static Fault HtmlErrorPage();
  static Fault GarbageBytes();
  static Fault HugeBody(std::size_t bytes = std::size_t{32} << 20);
  static Fault LoggedOut();
  Fault Times(int n) const;
};

struct Options {
  std::string host = "127.0.0.1";
  // The catalogue is generated from this seed, so every run serves the same products.
  std::uint32_t seed = 20140601;
  int product_count = 3000;
  // Called on the serving thread for every request, after it was recorded.
  std::function<void(const RecordedRequest&)> on_request;
};

// A login made without the form, for tests that need a logged-in client at once.
struct Session {
  std::string cookie_value;  // value of the cookie named SessionCookieName()
  std::string token;         // the form token the context service hands to this session
  std::string member_id;
};

// The sandbox platform: one HTTP server on loopback that answers every path of the affiliate
// platform and the two short-link services, serving from a background thread.
class Sandbox {
 public:
  explicit Sandbox(Options options = {});
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // Binds and starts serving; port 0 lets the system choose. False when the port cannot be bound.
  bool Start(int port = 0);
  // Stops serving and joins the serving threads; pending delays end at once. Safe to call twice.
  void Stop();

  // A second listener speaking TLS with the given certificate and key (PEM files), answering the
  // same paths; port 0 lets the system choose. For testing the client's https side.
  bool StartTls(int port, const std::string& certificate_file, const std::string& key_file);
  int TlsPort() const;

  int Port() const;
  std::string HostPort() const;  // "127.0.0.1:N", the value for every host setting of the client
  std::string BaseUrl() const;   // "http://127.0.0.1:N"

  std::vector<RecordedRequest> Requests() const;
  void ClearRequests();

  // path is matched against the request path without query; "*" matches every path.
  void InjectFault(std::string path, Fault fault);
  void ClearFaults();

  std::string SessionCookieName() const;
  Session CreateSession(const std::string& user);

  // The collection source pages and the product ids they link to, in page order.
  std::vector<std::string> SourcePagePaths() const;
  std::vector<std::string> SourcePageProductIds(const std::string& path) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace pagoling::sim
