#include "net/http_request.h"

#include <algorithm>
#include <mutex>

#include "net/http_cookie_store.h"
#include "net/http_curl.h"
#include "net/text_between.h"
#include "platform/cancel.h"

namespace pagoling::net {
namespace {

// Redirects beyond this many end the request with the last body received.
constexpr int kMaxRedirects = 20;
// How often a waiting transfer looks at the halt switch.
constexpr int kHaltPollMilliseconds = 50;

std::mutex ca_file_mutex;
std::string ca_file;

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

size_t AppendBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

struct Hop {
  std::string url;
  bool post = false;
  bool content_type = true;
};

struct HopResult {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string redirect_url;
};

// Performs one hop through a multi handle so a halt is noticed within a few tens of milliseconds,
// even while the server sends nothing.
HopResult PerformHop(const Hop& hop, const std::string& referer, const std::string& post_text,
                     std::string& body) {
  curl::Easy easy;
  CURL* handle = easy.get();
  curl::StringList headers;
  // The order is what the platform has always seen; Content-Type goes with GET requests too,
  // except after a POST was turned into a GET by a redirect.
  headers.Append("Referer: " + referer);
  headers.Append("Accept: */*");
  headers.Append("Accept-Language: zh-cn");
  if (hop.content_type) headers.Append("Content-Type: application/x-www-form-urlencoded");
  headers.Append("Expect:");

  curl_easy_setopt(handle, CURLOPT_URL, hop.url.c_str());
  curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(handle, CURLOPT_USERAGENT, kDefaultUserAgent);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_SHARE, curl::CookieShare());
  curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, 60000L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, 30L);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
  {
    std::lock_guard lock(ca_file_mutex);
    if (!ca_file.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, ca_file.c_str());
  }
  if (hop.post) {
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(post_text.size()));
    curl_easy_setopt(handle, CURLOPT_COPYPOSTFIELDS, post_text.c_str());
  } else {
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  }

  HopResult result;
  curl::Multi multi;
  curl_multi_add_handle(multi.get(), handle);
  platform::CancelToken* token = platform::ThisThreadToken();
  for (;;) {
    int running = 0;
    CURLMcode performed = CURLM_OK;
    // Each step of the transfer is one effect: once a halt has returned, not a further byte goes
    // out, so a request never starts after the stop button was answered.
    try {
      platform::RunThreadEffect([&] { performed = curl_multi_perform(multi.get(), &running); });
    } catch (const platform::Halted&) {
      break;
    }
    if (performed != CURLM_OK) {
      result.code = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int queued = 0;
      CURLMsg* message = curl_multi_info_read(multi.get(), &queued);
      result.code = message != nullptr ? message->data.result : CURLE_RECV_ERROR;
      break;
    }
    if (token != nullptr && token->IsCancelled()) break;
    curl_multi_poll(multi.get(), nullptr, 0, kHaltPollMilliseconds, nullptr);
  }
  curl_multi_remove_handle(multi.get(), handle);
  platform::CheckThreadToken();

  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
  char* location = nullptr;
  curl_easy_getinfo(handle, CURLINFO_REDIRECT_URL, &location);
  if (location != nullptr) result.redirect_url = location;
  return result;
}

}  // namespace

std::string AddressHost(std::string_view address, bool keep_port) {
  std::string lowered = Lower(address);
  if (lowered.empty() || lowered.back() != '/') lowered.push_back('/');
  std::string scheme = "https://";
  if (!StartsWith(lowered, scheme)) {
    scheme = "http://";
    if (!StartsWith(lowered, scheme)) lowered = scheme + lowered;
  }
  std::string authority = TextBetweenAnyCase(lowered, scheme, "/");
  if (!keep_port) {
    const std::size_t colon = authority.find(':');
    if (colon != std::string::npos) authority.resize(colon);
  }
  return authority;
}

int AddressPort(std::string_view address) {
  const std::string host = AddressHost(address, true);
  const std::size_t colon = host.rfind(':');
  if (colon != std::string::npos) {
    // The integer value of the digits after the colon, as far as they go.
    int port = 0;
    for (std::size_t i = colon + 1; i < host.size() && host[i] >= '0' && host[i] <= '9'; ++i) {
      port = port * 10 + (host[i] - '0');
      if (port > 65535) break;
    }
    return port;
  }
  return StartsWith(Lower(address), "https") ? 443 : 80;
}

std::string AddressPath(std::string_view address) {
  const std::string host = AddressHost(address);
  const int host_at = FindText(address, host, 1, true);
  if (host_at < 0) return "/";
  const std::size_t slash = address.find('/', static_cast<std::size_t>(host_at) - 1);
  if (slash == std::string_view::npos) return "/";
  return std::string(address.substr(slash));
}

void SetCaFile(const std::string& path) {
  std::lock_guard lock(ca_file_mutex);
  ca_file = path;
}

namespace {

std::string Transfer(const std::string& address, int method, const std::string& post_text) {
  const bool secure = Lower(address.substr(0, 5)) == "https";
  Hop hop;
  hop.url = (secure ? "https://" : "http://") + AddressHost(address) + ":" +
            std::to_string(AddressPort(address)) + AddressPath(address);
  hop.post = method == 1;

  std::string body;
  for (int redirects = 0;; ++redirects) {
    body.clear();
    const HopResult result = PerformHop(hop, address, post_text, body);
    if (result.code != CURLE_OK) {
      // A connection that failed before any byte arrived is a failed request; a body cut short
      // is returned as far as it came, as reading simply ends there.
      return body;
    }
    const long status = result.status;
    const bool redirect = status == 301 || status == 302 || status == 303 || status == 307;
    if (!redirect || result.redirect_url.empty() || redirects >= kMaxRedirects) return body;
    // A POST answered by 301, 302 or 303 continues as a GET without its body; 307 keeps it.
    if (status != 307 && hop.post) {
      hop.post = false;
      hop.content_type = false;
    }
    hop.url = result.redirect_url;
  }
}

}  // namespace

std::string HttpRequest(const std::string& address, int method, const std::string& post_text) {
  platform::CheckThreadToken();
  std::string body = Transfer(address, method, post_text);
  // Cookies the reply set outlive the program, as a browser's do.
  platform::RunThreadEffect([] { CookieStore::Shared().Save(); });
  return body;
}

}  // namespace pagoling::net
