#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tandemix {

struct Credentials {
    std::string user;
    std::string password;
};

// Who asked for the credentials: the web server (401) or a proxy on the way (407).
enum class AuthRequester { Server, Proxy };

// Asked for credentials when a server or proxy refuses a page; a fetch asks at most once.
class CredentialsPrompt {
public:
    virtual ~CredentialsPrompt() = default;
    // std::nullopt when the user cancels.
    virtual std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) = 0;
};

// For front ends that cannot ask anybody.
class CancellingPrompt final : public CredentialsPrompt {
public:
    std::optional<Credentials> Ask(std::string_view, AuthRequester) override {
        return std::nullopt;
    }
};

}  // namespace tandemix
