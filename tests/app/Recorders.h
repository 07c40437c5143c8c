#pragma once

#include <QWidget>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/BrowserPane.h"
#include "app/PathSelection.h"
#include "app/StaticLink.h"
#include "base/MessageSink.h"
#include "run/Comparison.h"
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

// Records every launch attempt, each a success.
class RecordingLauncher final : public ContainerLauncher {
public:
    bool Launch(LaunchAttempt attempt, const std::string& containerPath) override {
        attempts.emplace_back(attempt, containerPath);
        return true;
    }
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
