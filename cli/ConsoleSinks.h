#pragma once

#include <string>
#include <string_view>

#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "cli/ProgressLine.h"
#include "web/CertificateQuestion.h"

namespace tandemix::cli {

// Prints each message for the user on a line of its own, after clearing the progress line.
class ConsoleMessages final : public MessageSink {
public:
    ConsoleMessages(TextOut out, ProgressLine& progress)
        : out_(std::move(out)), progress_(progress) {}

    void Warn(std::string_view text) override;
    void Inform(std::string_view text) override;
    // A wait is said once, on a line of its own; its end needs no line.
    void ShowStatus(std::string_view text) override;

    // Every warning of the engine reports a failure; notes do not.
    bool AnyWarned() const { return warned_; }

private:
    TextOut out_;
    ProgressLine& progress_;
    bool warned_ = false;
};

// Prints the diagnostic lines with the terminal's line end instead of "\r\n".
class ConsoleDebugLog final : public DebugLog {
public:
    ConsoleDebugLog(TextOut out, ProgressLine& progress)
        : out_(std::move(out)), progress_(progress) {}

    void Write(std::string_view line) override;

private:
    TextOut out_;
    ProgressLine& progress_;
};

// Nobody can be asked on the command line: the answer is no, and one line says what was
// wrong with the certificate and how to accept it anyway.
class ConsoleCertificateQuestion final : public CertificateQuestion {
public:
    ConsoleCertificateQuestion(TextOut out, ProgressLine& progress)
        : out_(std::move(out)), progress_(progress) {}

    bool AcceptInvalidCertificate(const CertificateProblem& problem) override;

private:
    TextOut out_;
    ProgressLine& progress_;
};

// The line as a terminal shows it: ending in a single "\n".
std::string TerminalLine(std::string_view line);

}  // namespace tandemix::cli
