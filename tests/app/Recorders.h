#pragma once

#include <QFile>
#include <QTest>
#include <QWidget>
#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/BrowserPane.h"
#include "app/PathSelection.h"
#include "app/StaticLink.h"
#include "report/ResultContainer.h"
#include "run/Comparison.h"
#include "support/RecordingSinks.h"
#include "web/CertificateQuestion.h"

namespace tandemix::app::test {

// The warning boxes and the desktop's launcher are the engine tests' recorders.
using RecordingSink = tandemix::testing::RecordingMessageSink;
using tandemix::testing::RecordingLauncher;
using Launches = decltype(RecordingLauncher::attempts);

// The one column of a data-driven test, a row per name and value.
template <typename T>
void AddRows(const char* column, std::initializer_list<std::pair<const char*, T>> rows) {
    QTest::addColumn<T>(column);
    for (const auto& [name, value] : rows) {
        QTest::newRow(name) << value;
    }
}

// Whether the whole file was written.
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file's bytes, empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fixed container page every framed report opens with.
inline QByteArray ContainerBytes() {
    return {ContainerText().data(), static_cast<qsizetype>(ContainerText().size())};
}

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
