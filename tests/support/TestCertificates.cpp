#include "support/TestCertificates.h"

#include "support/ChildProcess.h"

namespace tandemix::testing {

// The file names of the certificates, in the order of Certificate.
constexpr const char* kNames[] = {"trusted",       "other-name",     "expired",
                                  "not-yet-valid", "unknown-issuer", "unknown-issuer-expired",
                                  "self-signed"};

TestCertificates::TestCertificates(std::string folder)
    : folder_(std::move(folder)),
      ready_(RunProgram({"bash", TANDEMIX_MAKE_CERTIFICATES, folder_, TANDEMIX_TEST_OPENSSL}) ==
             0) {}

TlsIdentity TestCertificates::Identity(Certificate certificate) const {
    const std::string base = folder_ + "/" + kNames[static_cast<int>(certificate)];
    return {base + ".pem", base + ".key"};
}

}  // namespace tandemix::testing
