#pragma once

#include <string>
#include <string_view>

// The system's one HTTP client: one synchronous GET or POST returning the body bytes.
namespace pagoling::net {

// The host of an address, lower-cased; with `keep_port` together with ":" and its port.
std::string AddressHost(std::string_view address, bool keep_port = false);
// The explicit port, else 443 for https and 80 otherwise.
int AddressPort(std::string_view address);
// The path and query sent in the request line, letter case kept; "/" when the address has none.
std::string AddressPath(std::string_view address);

inline constexpr const char* kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; MKPAG; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// Sends one request (method 0 = GET, 1 = POST with `post_text` as the form body) with the shared
// cookies and returns the body of the final response exactly as received, whatever its status;
// empty when the server cannot be reached. Redirects are followed. On a worker whose run is halted
// the transfer is abandoned at once and platform::Halted is thrown.
std::string HttpRequest(const std::string& address, int method = 0,
                        const std::string& post_text = "");

// Trusts the certificate authorities of this file instead of the system's (tests make their own);
// empty returns to the system's.
void SetCaFile(const std::string& path);

}  // namespace pagoling::net
