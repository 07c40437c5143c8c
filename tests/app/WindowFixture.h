#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "Recorders.h"
#include "app/CompareDialog.h"
#include "base/DebugLog.h"

namespace tandemix::app::test {

// A main window whose outside world is recorders: no boxes, no programs started, no web
// engine. Reports go to a temporary output directory; the settings kept between starts go
// to a temporary file, or to the given one when a test starts the window twice.
struct WindowFixture {
    RecordingSink messages;
    SilentDebugLog debugLog;
    RecordingLauncher launcher;
    ScriptedPickers pickers;
    RecordingOpener opener;
    CancellingPrompt credentials;
    RefusingCertificateQuestion certificates;
    CertificateQuestion* webCertificates = nullptr;
    std::optional<CompareRequest> webRequest;
    CompareOutcome webOutcome;
    std::function<void()> duringWebCompare;
    RecordingPane* pane = nullptr;
    QTemporaryDir outputDirectory;
    QTemporaryDir configDirectory;
    QSettings settings;
    std::unique_ptr<CCompareDlg> window;

    explicit WindowFixture(const QString& settingsFile = {})
        : settings(settingsFile.isEmpty() ? configDirectory.filePath(QStringLiteral("tandemix.ini"))
                                          : settingsFile,
                   QSettings::IniFormat) {
        WindowServices services{
            messages,
            debugLog,
            launcher,
            pickers,
            opener,
            credentials,
            certificates,
            [this](const CompareRequest& request, const RunContext&, ContainerLauncher*,
                   CredentialsPrompt&, CertificateQuestion& question) {
                webRequest = request;
                webCertificates = &question;
                if (duringWebCompare) {
                    duringWebCompare();
                }
                return webOutcome;
            },
            [this](QWidget* parent) {
                pane = new RecordingPane(parent);
                return pane;
            },
            settings,
            CodePage::Utf8};
        window = std::make_unique<CCompareDlg>(outputDirectory.path().toStdString(), services);
    }

    QAbstractButton* Button(int id) const {
        return qobject_cast<QAbstractButton*>(window->Control(id));
    }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(window->Control(id)); }
    void Click(int id) const { Button(id)->click(); }
    void Type(const QString& input1, const QString& input2) const {
        Edit(kIdInput1)->setText(input1);
        Edit(kIdInput2)->setText(input2);
    }
    std::string OutputPath(std::string_view name) const {
        return outputDirectory.path().toStdString() + "/" + std::string(name);
    }
    QByteArray Read(std::string_view name) const {
        return ReadFile(QString::fromStdString(OutputPath(name)));
    }
    bool Wrote(std::string_view name) const {
        return QFile::exists(QString::fromStdString(OutputPath(name)));
    }
};

}  // namespace tandemix::app::test
