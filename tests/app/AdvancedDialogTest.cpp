// The "Erweitert…" dialog: OK and cancel, typed and invalid entries, the settings kept
// between starts, and the settings reaching the run.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "WindowFixture.h"
#include "app/AdvancedDialog.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

namespace {

enum class Answer { Ok, Cancel };

// Opens the dialog with the window's button, changes it with the step, then answers it.
bool AnswerDialog(WindowFixture& fixture, const std::function<void(AdvancedDialog&)>& step,
                  Answer answer) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<AdvancedDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        step(*dialog);
        (answer == Answer::Ok ? dialog->OkButton() : dialog->CancelButton())->click();
        answered = true;
    });
    fixture.Click(kIdAdvanced);
    return answered;
}

void TickAll(AdvancedDialog& dialog) {
    dialog.MinimalAlignmentBox()->click();
    dialog.FolderContentsBox()->click();
    dialog.SingleReportBox()->click();
    dialog.ExclusionsField()->setText(QStringLiteral(" .git  *.pyc "));
    dialog.IgnoreSpaceChangeBox()->click();
    dialog.IgnoreAllSpaceBox()->click();
    dialog.IgnoredTextField()->setPlainText(QStringLiteral("[0-9]{2}:[0-9]{2}\n\nnonce=\\w+"));
    dialog.IgnoredLinesField()->setPlainText(QStringLiteral("^#"));
    dialog.PickFolderButton()->click();
}

const AdvancedSettings kAllOn{
    {Alignment::Minimal, FolderComparison::ByContents, ReportForm::Single, {".git", "*.pyc"}},
    "/chosen/reports",
    true,
    true,
    {"[0-9]{2}:[0-9]{2}", "nonce=\\w+"},
    {"^#"}};

}  // namespace

class AdvancedDialogTest : public QObject {
    Q_OBJECT
private slots:
    // The answer is kept for the next start and reaches the comparison's request.
    void answerIsKeptAcrossStarts_data() {
        AddRows<bool>("confirm", {{"OK keeps the settings", true}, {"cancel", false}});
    }
    void answerIsKeptAcrossStarts() {
        QFETCH(bool, confirm);
        const AdvancedSettings expected = confirm ? kAllOn : AdvancedSettings{};
        QTemporaryDir config;
        const QString file = config.filePath(QStringLiteral("tandemix.ini"));
        {
            WindowFixture first(file);
            QCOMPARE(first.window->Advanced(), AdvancedSettings{});
            first.pickers.answers = {std::optional<std::string>(kAllOn.outputFolder)};
            QVERIFY(AnswerDialog(first, TickAll, confirm ? Answer::Ok : Answer::Cancel));
            QCOMPARE(first.pickers.outputFolderStarts.front(), first.window->OutputDirectory());
            QCOMPARE(first.window->Advanced(), expected);
            first.Click(kIdWebPages);
            first.Click(kIdCompare);
            QVERIFY(first.webRequest.has_value());
            QCOMPARE(first.webRequest->choices, expected.choices);
            QCOMPARE(first.webRequest->options.ignoreAllSpace, expected.ignoreAllSpace);
            QCOMPARE(first.webRequest->options.ignoredText, expected.ignoredText);
            QCOMPARE(first.webRequest->options.ignoredLines, expected.ignoredLines);
        }
        WindowFixture second(file);
        QCOMPARE(second.window->Advanced(), expected);
        QVERIFY(AnswerDialog(
            second, [&](AdvancedDialog& dialog) { QCOMPARE(dialog.Settings(), expected); },
            Answer::Cancel));
    }

    // The folder can be typed or pasted as well as picked; the picker starts from it.
    void folderFieldTakesTypingAndPasting() {
        ScriptedPickers pickers;
        AdvancedDialog dialog(AdvancedSettings{}, pickers, "/documents");
        QLineEdit* field = dialog.FolderField();
        QTest::keyClicks(field, QStringLiteral("/typed/reports"));
        QCOMPARE(dialog.Settings().outputFolder, std::string("/typed/reports"));
        pickers.answers = {std::nullopt};
        dialog.PickFolderButton()->click();
        QCOMPARE(pickers.outputFolderStarts.back(), std::string("/typed/reports"));

        field->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("  /pasted/reports \n"));
        QTest::keySequence(field, QKeySequence::Paste);
        QCOMPARE(dialog.Settings().outputFolder, std::string("/pasted/reports"));
        dialog.DefaultFolderButton()->click();
        QCOMPARE(dialog.Settings().outputFolder, std::string());
    }

    // A pattern that does not compile, in either list, is named at once, and OK waits until
    // it is mended.
    void invalidPatternShowsAtOnce_data() {
        AddRows<bool>("lines", {{"text patterns", false}, {"line patterns", true}});
    }
    void invalidPatternShowsAtOnce() {
        QFETCH(bool, lines);
        ScriptedPickers pickers;
        AdvancedDialog dialog(AdvancedSettings{}, pickers, "/documents");
        QPlainTextEdit* field = lines ? dialog.IgnoredLinesField() : dialog.IgnoredTextField();
        QVERIFY(dialog.OkButton()->isDefault());
        QVERIFY(dialog.PatternProblemLabel()->isHidden());
        QTest::keyClicks(field, QStringLiteral("id=(a"));
        QVERIFY(!dialog.PatternProblemLabel()->isHidden());
        QCOMPARE(dialog.PatternProblemLabel()->text(),
                 QString::fromUtf8("Ung\xC3\xBCltiges Muster \xE2\x80\x9Eid=(a\xE2\x80\x9C: "
                                   "missing ): id=(a"));
        QVERIFY(!dialog.OkButton()->isEnabled());
        QTest::keyClicks(field, QStringLiteral(")"));
        QVERIFY(dialog.PatternProblemLabel()->isHidden());
        QVERIFY(dialog.OkButton()->isEnabled());
        const AdvancedSettings settings = dialog.Settings();
        QCOMPARE(lines ? settings.ignoredLines : settings.ignoredText,
                 std::vector<std::string>{"id=(a)"});
    }

    void unknownStoredValuesReadAsDefaults() {
        QTemporaryDir config;
        QSettings store(config.filePath(QStringLiteral("tandemix.ini")), QSettings::IniFormat);
        store.setValue(QStringLiteral("advanced/alignment"), QStringLiteral("Minimal!"));
        store.setValue(QStringLiteral("advanced/report"), 7);
        store.setValue(QStringLiteral("advanced/ignoreAllSpace"), QStringLiteral("yes!"));
        store.setValue(QStringLiteral("advanced/ignoredText"), QStringList{QStringLiteral("(")});
        store.setValue(QStringLiteral("advanced/ignoredLines"), QStringList{QStringLiteral("[")});
        QCOMPARE(LoadAdvancedSettings(store), AdvancedSettings{});
    }

    // A real run of two files writes its report into the chosen folder.
    void chosenFolderTakesTheReport() {
        QTemporaryDir inputs;
        QTemporaryDir chosen;
        const QString input1 = inputs.filePath(QStringLiteral("a.txt"));
        const QString input2 = inputs.filePath(QStringLiteral("b.txt"));
        QVERIFY(WriteFile(input1, "a") && WriteFile(input2, "b"));
        WindowFixture fixture;
        fixture.pickers.answers = {std::optional<std::string>(chosen.path().toStdString())};
        QVERIFY(AnswerDialog(
            fixture, [](AdvancedDialog& dialog) { dialog.PickFolderButton()->click(); },
            Answer::Ok));
        fixture.Type(input1, input2);
        fixture.Click(kIdCompare);
        QVERIFY(fixture.messages.messages.empty());
        QCOMPARE(fixture.launcher.attempts,
                 (Launches{{LaunchAttempt::ReportViewer,
                            chosen.filePath(QStringLiteral("Tandemix.htm")).toStdString()}}));
        QVERIFY(!fixture.Wrote("Tandemix.htm"));
    }
};

QTEST_MAIN(AdvancedDialogTest)
#include "AdvancedDialogTest.moc"
