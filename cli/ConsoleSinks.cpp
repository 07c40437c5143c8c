#include "cli/ConsoleSinks.h"

namespace tandemix::cli {

std::string TerminalLine(std::string_view line) {
    if (line.ends_with("\r\n")) {
        line.remove_suffix(2);
    } else if (line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    std::string text(line);
    text.push_back('\n');
    return text;
}

void ConsoleMessages::Warn(std::string_view text) {
    warned_ = true;
    progress_.Clear();
    out_(TerminalLine(text));
}

void ConsoleMessages::Inform(std::string_view text) {
    progress_.Clear();
    out_(TerminalLine(text));
}

void ConsoleMessages::ShowStatus(std::string_view text) {
    if (!text.empty()) {
        Inform(text);
    }
}

void ConsoleDebugLog::Write(std::string_view line) {
    progress_.Clear();
    out_(TerminalLine(line));
}

bool ConsoleCertificateQuestion::AcceptInvalidCertificate(const CertificateProblem& problem) {
    progress_.Clear();
    out_(CertificateProblemText(problem) + " Mit --insecure wird die Seite trotzdem geladen.\n");
    return false;
}

}  // namespace tandemix::cli
