#pragma once

#include <QWidget>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/BrowserPane.h"
#include "app/PathSelection.h"
#include "app/StaticLink.h"
#include "base/MessageSink.h"
#include "run/CompareCommand.h"
#include "web/CertificateQuestion.h"

namespace tandemix::app::test {

// Takes the place of the warning boxes.
class RecordingSink final : public MessageSink {
public:
    void Warn(std::string_view text) override { texts.emplace_back(text); }
    void Inform(std::string_view text) override { notes.emplace_back(text); }
    std::vector<std::string> texts;
    std::vector<std::string> notes;
};

// Records every launch attempt; the attempts named in failing report failure.
class RecordingLauncher final : public ContainerLauncher {
public:
    bool Launch(LaunchAttempt attempt, const std::string& containerPath) override {
        attempts.emplace_back(attempt, containerPath);
        return failing.count(attempt) == 0;
    }
    std::set<LaunchAttempt> failing;
    std::vector<std::pair<LaunchAttempt, std::string>> attempts;
};

// Answers the pickers from a script of answers and records where the folder picker opened.
class ScriptedPickers final : public PathPickers {
public:
    std::optional<std::string> PickFile(QWidget* owner) override {
        fileOwners.push_back(owner);
        return Next();
    }
    std::optional<std::string> PickFolder(const std::string& initialFolder) override {
        folderStarts.push_back(initialFolder);
        return Next();
    }
    std::optional<std::string> PickOutputFolder(QWidget* owner,
                                                const std::string& initialFolder) override {
        fileOwners.push_back(owner);
        outputFolderStarts.push_back(initialFolder);
        return Next();
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> folderStarts;
    std::vector<std::string> outputFolderStarts;
    std::vector<QWidget*> fileOwners;

private:
    std::optional<std::string> Next() {
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers every certificate question as told and keeps the problems asked about.
class RecordingCertificateQuestion final : public CertificateQuestion {
public:
    bool AcceptInvalidCertificate(const CertificateProblem& problem) override {
        problems.push_back(problem.host + " " + problem.reason);
        return accept;
    }
    bool accept = false;
    std::vector<std::string> problems;
};

class RecordingOpener final : public UrlOpener {
public:
    bool Open(const std::string& address) override {
        opened.push_back(address);
        return succeed;
    }
    bool succeed = true;
    std::vector<std::string> opened;
};

// A pane that only remembers where it was sent, so window tests need no web engine.
class RecordingPane final : public QWidget, public HelpPane {
public:
    explicit RecordingPane(QWidget* parent) : QWidget(parent) {}
    QWidget* Widget() override { return this; }
    void Navigate(const std::string& address) override { addresses.push_back(address); }
    std::vector<std::string> addresses;
};

}  // namespace tandemix::app::test
