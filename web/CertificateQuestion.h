#pragma once

#include <string>

namespace tandemix {

// A certificate that failed only for its host name or its dates.
struct CertificateProblem {
    std::string host;
    std::string reason;  // in German, for the question to the user
};

// Asked when a page could be fetched only by accepting such a certificate; a front end that
// cannot ask anybody answers no.
class CertificateQuestion {
public:
    virtual ~CertificateQuestion() = default;
    virtual bool AcceptInvalidCertificate(const CertificateProblem& problem) = 0;
};

}  // namespace tandemix
