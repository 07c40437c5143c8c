#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "run/CompareCommand.h"
#include "web/CredentialsPrompt.h"

namespace tandemix::cli {

// One compare command as the command line asks for it.
struct CompareInvocation {
    CompareRequest request;
    std::optional<std::string> outputDirectory;  // searched for when not given
    std::optional<Credentials> credentials;      // for pages behind a login
    bool open = false;
    bool quiet = false;
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
