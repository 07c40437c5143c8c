#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "core/CompareCommand.h"

namespace tandemix::cli {

// Name and password for pages behind a login, kept for when web pages can be fetched.
struct WebCredentials {
    std::string name;
    std::string password;
};

// One compare command as the command line asks for it.
struct CompareInvocation {
    CompareRequest request;
    std::optional<std::string> outputDirectory;  // searched for when not given
    std::optional<WebCredentials> credentials;
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
