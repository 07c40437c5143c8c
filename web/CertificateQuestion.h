#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// A certificate that failed only for its host name or its dates.
struct CertificateProblem {
    std::string host;
    std::string reason;  // in German, for the question to the user
};

// The reasons a CertificateProblem names, UTF-8 encoded.
namespace certificate_reasons {
inline constexpr std::string_view kExpired = "abgelaufen";
inline constexpr std::string_view kNotYetValid = "noch nicht g\xC3\xBCltig";
inline constexpr std::string_view kOtherName = "f\xC3\xBCr einen anderen Namen ausgestellt";
}  // namespace certificate_reasons

// "Das Zertifikat von <host> ist ungültig (<reason>)."
inline std::string CertificateProblemText(const CertificateProblem& problem) {
    return "Das Zertifikat von " + problem.host + " ist ung\xC3\xBCltig (" + problem.reason + ").";
}

// The problem followed by " Trotzdem laden?": what a front end asks its user.
inline std::string CertificateQuestionText(const CertificateProblem& problem) {
    return CertificateProblemText(problem) + " Trotzdem laden?";
}

// Asked when a page could be fetched only by accepting such a certificate; a front end that
// cannot ask anybody answers no.
class CertificateQuestion {
public:
    virtual ~CertificateQuestion() = default;
    virtual bool AcceptInvalidCertificate(const CertificateProblem& problem) = 0;
};

// For front ends that cannot ask anybody.
class RefusingCertificateQuestion final : public CertificateQuestion {
public:
    bool AcceptInvalidCertificate(const CertificateProblem&) override { return false; }
};

}  // namespace tandemix
