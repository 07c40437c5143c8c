#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "run/Comparison.h"
#include "web/FetchSettings.h"

namespace tandemix::cli {

// --user: the name for pages behind a login, and the password only when the older
// NAME:PASSWORD form gave it.
struct LoginOption {
    std::string user;
    std::optional<std::string> password;
};

// One compare command as the command line asks for it.
struct CompareInvocation {
    CompareRequest request;
    std::optional<std::string> outputDirectory;  // searched for when not given
    std::optional<LoginOption> login;
    CertificateCheck certificateCheck = CertificateCheck::Full;
    std::vector<std::string> warnings;  // about the command line itself, one line each
    bool open = false;
    bool quiet = false;
    // --brief: no report, one line per differing entry of two folders.
    bool brief = false;
};

enum class InfoRequest { Help, Version };

struct UsageError {
    std::string text;
};

using CommandLine = std::variant<CompareInvocation, InfoRequest, UsageError>;

// Reads the arguments after the program name. The first mistake wins over everything;
// a request for help or the version wins over a missing input.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

}  // namespace tandemix::cli
