#include "web/CertificateQuestion.h"

namespace tandemix {

std::string CertificateProblemText(const CertificateProblem& problem) {
    return "Das Zertifikat von " + problem.host + " ist ung\xC3\xBCltig (" + problem.reason + ").";
}

std::string CertificateQuestionText(const CertificateProblem& problem) {
    return CertificateProblemText(problem) + " Trotzdem laden?";
}

}  // namespace tandemix
