#include "generate/short_links.h"

#include <algorithm>

#include "net/encoding.h"
#include "net/http_request.h"
#include "net/text_between.h"

namespace pagoling::generate {

namespace {

// The services answer with JSON that writes "/" as "\/"; only the slashes go, the backslashes stay.
std::string WithoutSlashes(std::string value) {
  value.erase(std::remove(value.begin(), value.end(), '/'), value.end());
  return value;
}

}  // namespace

std::string ShortenLink(ui::MainWindow& window, const net::Endpoints& endpoints,
                        const std::string& link) {
  // Every byte escaped, letters included: the services take the link as UTF-8.
  const std::string encoded = net::UrlEncode(link, /*keep_unreserved=*/false, /*utf8=*/true);
  std::string result;
  if (window.Checked("单选框7") != 0) {
    // The form field json holds {"urls":[{"url":"<link>"}]}, already percent-encoded around it.
    const std::string reply =
        net::HttpRequest("http://" + endpoints.netease_short_host + "/short.action", 1,
                         "json=%7B%22urls%22%3A%5B%7B%22url%22%3A%22" + encoded + "%22%7D%5D%7D");
    result = "http://" + WithoutSlashes(net::TextBetweenAnyCase(reply, "url\":\"", "\""));
  }
  if (window.Checked("单选框8") != 0) {
    const std::string reply =
        net::HttpRequest("http://" + endpoints.baidu_short_host + "/create.php", 1,
                         "url=" + encoded + "&alias=&access_type=web");
    result = WithoutSlashes(net::TextBetweenAnyCase(reply, "tinyurl\":\"", "\""));
  }
  return result;
}

}  // namespace pagoling::generate
