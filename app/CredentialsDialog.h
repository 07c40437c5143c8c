#pragma once

#include <QPointer>
#include <QWidget>

#include "web/CredentialsPrompt.h"

namespace tandemix::app {

// Asks the user for a name and password when a server or proxy refuses a page.
class CredentialsDialogPrompt final : public CredentialsPrompt {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace tandemix::app
