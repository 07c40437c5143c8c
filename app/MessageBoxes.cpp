#include "app/MessageBoxes.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "app/ProductResources.h"
#include "app/QtText.h"

namespace tandemix::app {

void WarningBoxSink::Warn(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, FromUtf8(messages::kBoxTitle), FromUtf8(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

void WarningBoxSink::Inform(std::string_view text) {
    QMessageBox box(QMessageBox::Information, FromUtf8(messages::kBoxTitle), FromUtf8(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

void WarningBoxSink::ShowStatus(std::string_view text) {
    if (parent_ == nullptr) {
        return;
    }
    if (title_.isEmpty()) {
        title_ = parent_->windowTitle();
    }
    parent_->setWindowTitle(text.empty() ? std::exchange(title_, QString())
                                         : title_ + QStringLiteral(" \u2013 ") + FromUtf8(text));
    // The command runs on this thread; the title must reach the screen while it waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::optional<Credentials> CredentialsDialogPrompt::Ask(std::string_view url,
                                                        AuthRequester requester) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("Anmeldung"));
    auto* layout = new QFormLayout(&dialog);
    const QString who = requester == AuthRequester::Proxy
                            ? QStringLiteral("Der Proxy-Server verlangt eine Anmeldung f\u00fcr")
                            : QStringLiteral("Der Server verlangt eine Anmeldung f\u00fcr");
    auto* text = new QLabel(who + QStringLiteral("\n") + FromLocal(url), &dialog);
    text->setWordWrap(true);
    layout->addRow(text);
    auto* user = new QLineEdit(&dialog);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("Benutzername:"), user);
    layout->addRow(QStringLiteral("Kennwort:"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Credentials{user->text().toStdString(), password->text().toStdString()};
}

CertificateQuestionBox::CertificateQuestionBox()
    : run_([](QMessageBox& box) { return static_cast<QMessageBox::StandardButton>(box.exec()); }) {}

bool CertificateQuestionBox::AcceptInvalidCertificate(const CertificateProblem& problem) {
    QMessageBox box(QMessageBox::Warning, FromUtf8(messages::kBoxTitle),
                    FromUtf8(tandemix::CertificateQuestionText(problem)),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    // Loading is the risky answer: Enter alone must not give it.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return run_(box) == QMessageBox::Yes;
}

}  // namespace tandemix::app
