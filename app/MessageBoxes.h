#pragma once

#include <QPointer>
#include <QWidget>

#include "base/MessageSink.h"
#include "web/CredentialsPrompt.h"

// The modal boxes by which the window answers the engine's messages and questions.
namespace tandemix::app {

// Shows each message as a modal warning box titled "Tandemix" with an OK button.
class WarningBoxSink final : public MessageSink {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Warn(std::string_view text) override;

private:
    QPointer<QWidget> parent_;
};

// Asks the user for a name and password when a server or proxy refuses a page.
class CredentialsDialogPrompt final : public CredentialsPrompt {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace tandemix::app
