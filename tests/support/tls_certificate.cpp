#include "support/tls_certificate.h"

#include <cstdlib>

namespace pagoling::testing {

bool MakeTlsCertificate(const std::filesystem::path& folder, TlsCertificate& out) {
  out.certificate = folder / "certificate.pem";
  out.key = folder / "key.pem";
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
      " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
      out.key.string() + "' -out '" + out.certificate.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::exists(out.certificate);
}

}  // namespace pagoling::testing
