#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/PasswordVariable.h"
#include "web/CredentialsPrompt.h"

namespace tandemix::cli {

// Answers a server's or a proxy's request for a login with the user of --user. The password
// is the one known in advance (the older NAME:PASSWORD form, or the environment); without
// one it is read from the terminal, once per comparison: the answer, or the cancelling,
// serves both pages.
class LoginPrompt final : public CredentialsPrompt {
public:
    // Shows the prompt and reads the password; std::nullopt when nobody can be asked.
    using PasswordReader = std::function<std::optional<std::string>(std::string_view prompt)>;

    LoginPrompt(std::string user, std::optional<std::string> password, PasswordReader readPassword);

    std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) override;

private:
    std::string user_;
    std::optional<std::string> password_;
    PasswordReader readPassword_;
    bool read_ = false;
};

// The prompt shown on the terminal.
std::string PasswordPromptText(std::string_view user, std::string_view url,
                               AuthRequester requester);

}  // namespace tandemix::cli
