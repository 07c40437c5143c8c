// The "..." buttons: where the folder pickers open, what a choice changes, and the folder
// picker's own status line and OK rule.
#include <QDir>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "app/PathSelection.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

using Steps = QStringList;   // "1:A" confirms folder A for input 1, "2:-" cancels input 2
using Starts = QStringList;  // where each picker opened, "" for no folder
using Inputs = QStringList;  // the texts of input 1 and 2 at the end

class PathSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void rememberedFolders_data() {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<Starts>("starts");
        QTest::addColumn<Inputs>("inputs");
        QTest::newRow("first choice for input 1 is where input 2 starts")
            << Steps{"1:A", "2:-"} << Starts{"", "A"} << Inputs{"A", ""};
        QTest::newRow("choice for input 2 is where input 1 starts next")
            << Steps{"1:A", "2:B", "1:-"} << Starts{"", "A", "B"} << Inputs{"A", "B"};
        QTest::newRow("two choices for input 1 reopen at the first")
            << Steps{"1:A", "1:B", "1:-"} << Starts{"", "A", "A"} << Inputs{"B", ""};
        QTest::newRow("a choice for input 2 first is where input 1 starts")
            << Steps{"2:B", "1:-", "2:-"} << Starts{"", "B", "B"} << Inputs{"", "B"};
        QTest::newRow("cancelling changes no input")
            << Steps{"1:-", "2:-"} << Starts{"", ""} << Inputs{"", ""};
        QTest::newRow("remembered across kind changes")
            << Steps{"1:A", "web", "folders", "2:-"} << Starts{"", "A"} << Inputs{"", ""};
    }
    void rememberedFolders() {
        QFETCH(Steps, steps);
        QFETCH(Starts, starts);
        QFETCH(Inputs, inputs);
        WindowFixture fixture;
        fixture.Click(kIdFolders);
        for (const QString& step : steps) {
            if (!step.contains(QLatin1Char(':'))) {
                fixture.Click(step == QStringLiteral("web") ? kIdWebPages : kIdFolders);
                continue;
            }
            const QString answer = step.mid(2);
            fixture.pickers.answers.push_back(
                answer == QStringLiteral("-") ? std::nullopt : std::optional(answer.toStdString()));
            fixture.Click(step.startsWith(QLatin1Char('1')) ? kIdBrowse1 : kIdBrowse2);
        }
        Starts opened;
        for (const std::string& start : fixture.pickers.folderStarts) {
            opened << QString::fromStdString(start);
        }
        QCOMPARE(opened, starts);
        QCOMPARE((Inputs{fixture.Edit(kIdInput1)->text(), fixture.Edit(kIdInput2)->text()}),
                 inputs);
    }

    // A file choice fills its input only; cancelled, it changes nothing.
    void fileChoiceKeepsTheOtherTypedInput() {
        WindowFixture fixture;
        QTest::keyClicks(fixture.Edit(kIdInput2), QStringLiteral("typed.txt"));
        fixture.pickers.answers = {std::optional<std::string>("/tmp/chosen.txt")};
        fixture.Click(kIdBrowse1);
        fixture.Click(kIdBrowse1);
        QCOMPARE(fixture.Edit(kIdInput1)->text(), QStringLiteral("/tmp/chosen.txt"));
        QCOMPARE(fixture.Edit(kIdInput2)->text(), QStringLiteral("typed.txt"));
        QCOMPARE(fixture.pickers.fileOwners.front(), fixture.window.get());
        QVERIFY(fixture.pickers.folderStarts.empty());
    }

    void statusLine_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("shownLength");
        QTest::newRow("short") << 10 << QChar(u'd') << 10;
        QTest::newRow("exactly 35") << 35 << QChar(u'd') << 35;
        QTest::newRow("36 is cut") << 36 << QChar(u'd') << 38;
        QTest::newRow("long") << 200 << QChar(u'd') << 38;
        QTest::newRow("characters, not bytes, count") << 41 << QChar(0x00FC) << 38;
    }
    void statusLine() {
        QFETCH(int, length);
        QFETCH(QChar, letter);
        QFETCH(int, shownLength);
        const QString path = QStringLiteral("/") + QString(length - 1, letter);
        const QString shown = ShortenForStatus(path);
        QCOMPARE(shown.size(), shownLength);
        QVERIFY(shown.startsWith(path.left(35)));
        QCOMPARE(shown.endsWith(QStringLiteral("...")), length > 35);
    }

    void okNeedsAnEntry_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("okEnabled");
        QTest::newRow("empty folder") << "" << false;
        QTest::newRow("one file") << "file" << true;
        QTest::newRow("one hidden file") << ".hidden" << true;
        QTest::newRow("one subfolder") << "sub/" << true;
    }
    void okNeedsAnEntry() {
        QFETCH(QString, content);
        QFETCH(bool, okEnabled);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("picked"));
        QDir().mkpath(folder);
        if (content.endsWith(QLatin1Char('/'))) {
            QDir().mkpath(folder + QLatin1Char('/') + content);
        } else if (!content.isEmpty()) {
            QVERIFY(WriteFile(folder + QLatin1Char('/') + content, {}));
        }
        QCOMPARE(FolderHasEntry(folder.toStdString()), okEnabled);
        FolderPicker picker(folder.toStdString());
        QCOMPARE(picker.OkButton()->isEnabled(), okEnabled);
        QCOMPARE(picker.Result(), folder.toStdString());
        QCOMPARE(picker.StatusText(), ShortenForStatus(folder));
    }

    // The picker follows the selection, OK waiting for a folder with an entry, and answers
    // the folder chosen last, or nothing when cancelled.
    void pickerFollowsTheSelection() {
        QTemporaryDir root;
        const QString full = root.filePath(QStringLiteral("full"));
        const QString empty = root.filePath(QStringLiteral("empty"));
        QDir().mkpath(full + QStringLiteral("/inner"));
        QDir().mkpath(empty);
        FolderPicker picker(full.toStdString());
        QVERIFY(picker.OkButton()->isEnabled());
        picker.SelectFolder(empty.toStdString());
        QCOMPARE(picker.Result(), empty.toStdString());
        QVERIFY(!picker.OkButton()->isEnabled());
        QCOMPARE(picker.windowTitle(), QStringLiteral("Current Selection"));
        picker.SelectFolder(full.toStdString());
        QTimer::singleShot(0, picker.OkButton(), &QPushButton::click);
        QCOMPARE(picker.Run(), std::optional<std::string>(full.toStdString()));
        FolderPicker cancelled(full.toStdString());
        QTimer::singleShot(0, &cancelled, &QDialog::reject);
        QCOMPARE(cancelled.Run(), std::optional<std::string>());
    }
};

QTEST_MAIN(PathSelectionTest)
#include "PathSelectionTest.moc"
