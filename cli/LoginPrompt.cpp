#include "cli/LoginPrompt.h"

#include <utility>

namespace tandemix::cli {

LoginPrompt::LoginPrompt(std::string user, std::optional<std::string> password,
                         PasswordReader readPassword)
    : user_(std::move(user)),
      password_(std::move(password)),
      readPassword_(std::move(readPassword)) {}

std::optional<Credentials> LoginPrompt::Ask(std::string_view url, AuthRequester requester) {
    if (!password_ && !read_) {
        read_ = true;
        password_ = readPassword_(PasswordPromptText(user_, url, requester));
    }
    if (!password_) {
        return std::nullopt;
    }
    return Credentials{user_, *password_};
}

std::string PasswordPromptText(std::string_view user, std::string_view url,
                               AuthRequester requester) {
    std::string text = "Passwort f\xC3\xBCr ";
    text.append(user);
    text.append(requester == AuthRequester::Proxy ? " beim Proxy f\xC3\xBCr " : " bei ");
    text.append(url);
    text.append(": ");
    return text;
}

}  // namespace tandemix::cli
