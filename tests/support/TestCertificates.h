#pragma once

#include <string>

#include "support/LoopbackServer.h"

namespace tandemix::testing {

enum class Certificate {
    Trusted,               // for 127.0.0.1, issued by the test authority
    OtherName,             // for other.example, issued by the test authority
    Expired,               // for 127.0.0.1, issued by the test authority, ended in 2020
    NotYetValid,           // for 127.0.0.1, issued by the test authority, starts in 2098
    UnknownIssuer,         // for 127.0.0.1, issued by an authority nobody trusts
    UnknownIssuerExpired,  // as before, and ended in 2020
    SelfSigned,            // for 127.0.0.1, issued by itself
};

// A test certificate authority and server certificates, made by make_certificates.sh in a
// folder of the caller's.
class TestCertificates {
public:
    explicit TestCertificates(std::string folder);

    // False when openssl failed for any of them.
    bool Ready() const { return ready_; }
    // The bundle that trusts the test authority and nothing else.
    std::string CaBundle() const { return folder_ + "/ca.pem"; }
    TlsIdentity Identity(Certificate certificate) const;

private:
    std::string folder_;
    bool ready_ = false;
};

}  // namespace tandemix::testing
