// The compare button from the window's boxes to the launched container, with the desktop,
// the message boxes and the web fetch replaced by recorders.
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <new>

#include "WindowFixture.h"
#include "app/MessageBoxes.h"
#include "app/ProductResources.h"
#include "base/Messages.h"
#include "report/ResultContainer.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

using Clicks = QList<int>;
using Entries = QStringList;
using Attempts = QList<int>;
Q_DECLARE_METATYPE(Clicks)

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Two inputs that differ only in the case of one letter, in a folder of their own.
struct Inputs {
    QTemporaryDir directory;
    QString file1 = directory.filePath(QStringLiteral("one.txt"));
    QString file2 = directory.filePath(QStringLiteral("two.txt"));
    QString folder1 = directory.filePath(QStringLiteral("before"));
    QString folder2 = directory.filePath(QStringLiteral("after"));

    Inputs() {
        WriteFile(file1, "Alpha\nBeta\n");
        WriteFile(file2, "alpha\nBeta\n");
        QDir(directory.path()).mkpath(folder1 + QStringLiteral("/sub"));
        QDir(directory.path()).mkpath(folder2);
        WriteFile(folder1 + QStringLiteral("/sub/x.txt"), "x\n");
        WriteFile(folder2 + QStringLiteral("/y.txt"), "y\n");
    }
};

void Type(WindowFixture& fixture, const QString& input1, const QString& input2) {
    fixture.Edit(kIdInput1)->setText(input1);
    fixture.Edit(kIdInput2)->setText(input2);
}

}  // namespace

class CompareCommandTest : public QObject {
    Q_OBJECT
private slots:
    void optionMapFromTheBoxes_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<Entries>("entries");
        QTest::newRow("web pages start state")
            << Clicks{kIdWebPages}
            << Entries{"case;yes", "indent;yes", "LineBrakeAfterEachTag;yes", "DeleteAllTags;no",
                       "ShowEmptyLines;no"};
        QTest::newRow("every box flipped")
            << Clicks{kIdWebPages,      kIdCaseSensitive, kIdIndent, kIdLineBreakAfterEachTag,
                      kIdDeleteAllTags, kIdKeepEmptyLines}
            << Entries{"case;no", "indent;no", "LineBrakeAfterEachTag;no", "DeleteAllTags;yes",
                       "ShowEmptyLines;yes"};
        QTest::newRow("only keep empty lines")
            << Clicks{kIdWebPages, kIdKeepEmptyLines}
            << Entries{"case;yes", "indent;yes", "LineBrakeAfterEachTag;yes", "DeleteAllTags;no",
                       "ShowEmptyLines;yes"};
    }
    void optionMapFromTheBoxes() {
        QFETCH(Clicks, clicks);
        QFETCH(Entries, entries);
        WindowFixture fixture;
        for (const int id : clicks) {
            fixture.Click(id);
        }
        fixture.Click(kIdCompare);
        QVERIFY(fixture.webRequest.has_value());
        Entries built;
        const OptionMap options = BuildOptionMap(fixture.webRequest->options);
        for (const std::string& entry : options.Entries()) {
            built << QString::fromStdString(entry);
        }
        QCOMPARE(built, entries);
    }

    // A box changed without its click handler still counts: the read-back comes first.
    void readBackPrecedesTheOptionMap() {
        WindowFixture fixture;
        fixture.Click(kIdWebPages);
        fixture.Button(kIdCaseSensitive)->setChecked(false);
        fixture.Button(kIdShowLineNumbers)->setChecked(false);
        fixture.Edit(kIdInput1)->setText(QStringLiteral("example.com/a"));
        fixture.Click(kIdCompare);
        QVERIFY(fixture.webRequest.has_value());
        QCOMPARE(BuildOptionMap(fixture.webRequest->options).Get(OptionMap::kCase),
                 std::string("no"));
        QVERIFY(!fixture.webRequest->showLineNumbers);
        QCOMPARE(fixture.webRequest->input1, std::string("example.com/a"));
    }

    void webRequestCarriesKindRedirectsAndForm_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<bool>("followRedirects");
        QTest::addColumn<bool>("hta");
        QTest::newRow("defaults of the kind") << Clicks{kIdWebPages} << true << false;
        QTest::newRow("redirects off, HTA")
            << Clicks{kIdWebPages, kIdFollowRedirects, kIdHta} << false << true;
    }
    void webRequestCarriesKindRedirectsAndForm() {
        QFETCH(Clicks, clicks);
        QFETCH(bool, followRedirects);
        QFETCH(bool, hta);
        WindowFixture fixture;
        for (const int id : clicks) {
            fixture.Click(id);
        }
        fixture.Click(kIdCompare);
        QVERIFY(fixture.webRequest.has_value());
        QVERIFY(fixture.webRequest->webPages);
        QCOMPARE(fixture.webRequest->followRedirects, followRedirects);
        QCOMPARE(fixture.webRequest->containerForm == ContainerForm::Hta, hta);
    }

    void filesAndFoldersOpenTheNamedContainer_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("containerName");
        QTest::newRow("files, HTML") << int{kIdFiles} << int{kIdHtml} << "Tandemix.htm";
        QTest::newRow("files, HTA") << int{kIdFiles} << int{kIdHta} << "Tandemix.hta";
        QTest::newRow("folders, HTML") << int{kIdFolders} << int{kIdHtml} << "Tandemix.htm";
        QTest::newRow("folders, HTA") << int{kIdFolders} << int{kIdHta} << "Tandemix.hta";
    }
    void filesAndFoldersOpenTheNamedContainer() {
        QFETCH(int, kind);
        QFETCH(int, form);
        QFETCH(QString, containerName);
        Inputs inputs;
        WindowFixture fixture;
        fixture.Click(kind);
        fixture.Click(form);
        if (kind == kIdFiles) {
            Type(fixture, inputs.file1, inputs.file2);
        } else {
            Type(fixture, inputs.folder1, inputs.folder2);
        }
        fixture.Click(kIdCompare);

        QVERIFY(fixture.messages.texts.empty());
        const std::string container = fixture.OutputPath(containerName.toStdString());
        QCOMPARE(fixture.launcher.attempts.size(), std::size_t{1});
        QCOMPARE(fixture.launcher.attempts.front().first, LaunchAttempt::ByFileType);
        QCOMPARE(fixture.launcher.attempts.front().second, container);
        QCOMPARE(ReadFile(container), QByteArray(ContainerText().data(),
                                                 static_cast<qsizetype>(ContainerText().size())));
        for (const std::string_view page : {kTopPageName, kPage1Name, kPage2Name}) {
            QVERIFY(QFile::exists(QString::fromStdString(fixture.OutputPath(page))));
        }
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // The case box reaches the run: the two files differ only in case.
    void caseBoxDecidesTheResult_data() {
        QTest::addColumn<bool>("untickCase");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("case sensitive") << false << QByteArray("Ergebnis: 1 Unterschiede");
        QTest::newRow("case ignored") << true << QByteArray("Ergebnis: Keine Unterschiede");
    }
    void caseBoxDecidesTheResult() {
        QFETCH(bool, untickCase);
        QFETCH(QByteArray, result);
        Inputs inputs;
        WindowFixture fixture;
        if (untickCase) {
            fixture.Click(kIdCaseSensitive);
        }
        Type(fixture, inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        QVERIFY(ReadFile(fixture.OutputPath(kTopPageName)).contains(result));
    }

    void bothFormsStaySideBySide() {
        Inputs inputs;
        WindowFixture fixture;
        fixture.Click(kIdHta);
        Type(fixture, inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        fixture.Click(kIdHtml);
        fixture.Click(kIdCompare);
        QVERIFY(QFile::exists(QString::fromStdString(fixture.OutputPath(kHtaContainerName))));
        QVERIFY(QFile::exists(QString::fromStdString(fixture.OutputPath(kHtmlContainerName))));
        QCOMPARE(fixture.launcher.attempts.back().second, fixture.OutputPath(kHtmlContainerName));
    }

    void launchOrderOnFailures_data() {
        QTest::addColumn<Attempts>("failing");
        QTest::addColumn<Attempts>("expected");
        const int byType = static_cast<int>(LaunchAttempt::ByFileType);
        const int viewer = static_cast<int>(LaunchAttempt::ReportViewer);
        const int browser = static_cast<int>(LaunchAttempt::BrowserLauncher);
        QTest::newRow("file type works") << Attempts{} << Attempts{byType};
        QTest::newRow("no program for the type") << Attempts{byType} << Attempts{byType, viewer};
        QTest::newRow("no viewer either")
            << Attempts{byType, viewer} << Attempts{byType, viewer, browser};
        QTest::newRow("nothing works, nothing said")
            << Attempts{byType, viewer, browser} << Attempts{byType, viewer, browser};
    }
    void launchOrderOnFailures() {
        QFETCH(Attempts, failing);
        QFETCH(Attempts, expected);
        Inputs inputs;
        WindowFixture fixture;
        for (const int attempt : failing) {
            fixture.launcher.failing.insert(static_cast<LaunchAttempt>(attempt));
        }
        Type(fixture, inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        Attempts made;
        for (const auto& [attempt, path] : fixture.launcher.attempts) {
            made << static_cast<int>(attempt);
            QCOMPARE(path, fixture.OutputPath(kHtmlContainerName));
        }
        QCOMPARE(made, expected);
        QVERIFY(fixture.messages.texts.empty());
    }

    void runMessagesBecomeBoxes_data() {
        QTest::addColumn<QString>("input1");
        QTest::addColumn<QString>("input2");
        QTest::addColumn<QString>("message");
        const auto text = [](std::string_view message) {
            return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
        };
        QTest::newRow("input 1 missing") << "missing.txt"
                                         << "one.txt" << text(tandemix::messages::kInput1Missing);
        QTest::newRow("input 2 missing")
            << "one.txt"
            << "missing.txt" << text(tandemix::messages::kInput2Missing);
        QTest::newRow("file against folder") << "one.txt"
                                             << "after" << text(tandemix::messages::kKindsDiffer);
    }
    void runMessagesBecomeBoxes() {
        QFETCH(QString, input1);
        QFETCH(QString, input2);
        QFETCH(QString, message);
        Inputs inputs;
        WindowFixture fixture;
        Type(fixture, inputs.directory.filePath(input1), inputs.directory.filePath(input2));
        fixture.Click(kIdCompare);
        QCOMPARE(fixture.messages.texts.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(fixture.messages.texts.front()), message);
        QVERIFY(fixture.launcher.attempts.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(fixture.OutputPath(kHtmlContainerName))));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void waitCursorWhileComparing() {
        WindowFixture fixture;
        std::optional<Qt::CursorShape> shape;
        fixture.duringWebCompare = [&shape] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
                shape = cursor->shape();
            }
        };
        fixture.Click(kIdWebPages);
        fixture.Click(kIdCompare);
        QCOMPARE(shape, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void exceptionsBecomeAMessageAndTheWindowStaysUsable_data() {
        QTest::addColumn<bool>("outOfMemory");
        QTest::newRow("memory exhausted") << true;
        QTest::newRow("other error") << false;
    }
    void exceptionsBecomeAMessageAndTheWindowStaysUsable() {
        QFETCH(bool, outOfMemory);
        Inputs inputs;
        WindowFixture fixture;
        fixture.duringWebCompare = [outOfMemory] {
            if (outOfMemory) {
                throw std::bad_alloc();
            }
            throw std::runtime_error("disk full");
        };
        fixture.Click(kIdWebPages);
        fixture.Click(kIdCompare);
        QCOMPARE(fixture.messages.texts.size(), std::size_t{1});
        const std::string expected = outOfMemory
                                         ? std::string(app::messages::kCompareOutOfMemory)
                                         : std::string(app::messages::kCompareFailed) + "disk full";
        QCOMPARE(fixture.messages.texts.front(), expected);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        fixture.Click(kIdFiles);
        Type(fixture, inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        QCOMPARE(fixture.launcher.attempts.size(), std::size_t{1});
    }

    void certificateQuestion_data() {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Ja loads") << int{QMessageBox::Yes} << true;
        QTest::newRow("Nein refuses") << int{QMessageBox::No} << false;
    }
    void certificateQuestion() {
        QFETCH(int, pressed);
        QFETCH(bool, accepted);
        QString title;
        QString text;
        QStringList buttons;
        QString defaultButton;
        CertificateQuestionBox question([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            for (QAbstractButton* button : box.buttons()) {
                buttons << button->text();
            }
            defaultButton = box.defaultButton()->text();
            return static_cast<QMessageBox::StandardButton>(pressed);
        });
        const CertificateProblem problem{"example.com", "abgelaufen"};
        QCOMPARE(question.AcceptInvalidCertificate(problem), accepted);
        QCOMPARE(title, QStringLiteral("Tandemix"));
        QCOMPARE(text, QString::fromUtf8("Das Zertifikat von example.com ist ung\xC3\xBCltig "
                                         "(abgelaufen). Trotzdem laden?"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Ja"), QStringLiteral("Nein")}));
        QCOMPARE(defaultButton, QStringLiteral("Nein"));
    }

    void webCompareIsGivenTheWindowsCertificateQuestion() {
        WindowFixture fixture;
        fixture.Click(kIdWebPages);
        fixture.Click(kIdCompare);
        QCOMPARE(fixture.webCertificates, &fixture.certificates);
    }

    // An error page is compared, but the window says so in one note box.
    void errorPagesAreNotedAfterTheCompare() {
        WindowFixture fixture;
        fixture.Click(kIdWebPages);
        fixture.webOutcome.pageStatus = {404, 500};
        fixture.Click(kIdCompare);
        QVERIFY(fixture.messages.texts.empty());
        QCOMPARE(fixture.messages.notes,
                 std::vector<std::string>{"Warnung: Internet-Seite 1 antwortete mit 404\n"
                                          "Warnung: Internet-Seite 2 antwortete mit 500"});
    }

    void enterStartsTheCompare() {
        WindowFixture fixture;
        fixture.Click(kIdWebPages);
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        fixture.Edit(kIdInput1)->setFocus();
        QTest::keyClick(fixture.Edit(kIdInput1), Qt::Key_Return);
        QVERIFY(fixture.webRequest.has_value());
    }
};

QTEST_MAIN(CompareCommandTest)
#include "CompareCommandTest.moc"
