#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/MessageSink.h"
#include "web/CertificateQuestion.h"
#include "web/CredentialsPrompt.h"

// The modal boxes by which the window answers the engine's messages and questions.
namespace tandemix::app {

// Shows each message as a modal box titled "Tandemix" with an OK button: a warning box for
// a failure, an information box for a note. A status (a wait) is shown in the parent's
// title bar while it lasts, since the window has no status line of its own.
class WarningBoxSink final : public MessageSink {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Warn(std::string_view text) override;
    void Inform(std::string_view text) override;
    void ShowStatus(std::string_view text) override;

private:
    QPointer<QWidget> parent_;
    QString title_;  // the parent's own title while a status is shown
};

// Asks the user for a name and password when a server or proxy refuses a page.
class CredentialsDialogPrompt final : public CredentialsPrompt {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) override;

private:
    QPointer<QWidget> parent_;
};

// Asks whether a page whose certificate fails only for its host name or its dates may be
// loaded all the same: "Ja" accepts it, "Nein", Escape and closing the box refuse it.
class CertificateQuestionBox final : public CertificateQuestion {
public:
    // Runs the prepared box and gives the button pressed; tests answer without a modal loop.
    using BoxRunner = std::function<QMessageBox::StandardButton(QMessageBox& box)>;

    CertificateQuestionBox();
    explicit CertificateQuestionBox(BoxRunner run) : run_(std::move(run)) {}

    void SetParent(QWidget* parent) { parent_ = parent; }
    bool AcceptInvalidCertificate(const CertificateProblem& problem) override;

private:
    QPointer<QWidget> parent_;
    BoxRunner run_;
};

}  // namespace tandemix::app
