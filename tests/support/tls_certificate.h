#pragma once

#include <filesystem>
#include <string>

namespace pagoling::testing {

// A self-signed certificate for 127.0.0.1 made for one test, so https is tested against a
// certificate that nothing outside the test trusts.
struct TlsCertificate {
  std::filesystem::path certificate;
  std::filesystem::path key;
};

// Writes the certificate and key into `folder`; false when they could not be made.
bool MakeTlsCertificate(const std::filesystem::path& folder, TlsCertificate& out);

}  // namespace pagoling::testing
