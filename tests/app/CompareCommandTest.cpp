// The compare button from the window's boxes to the launched container, with the desktop,
// the message boxes and the web fetch replaced by recorders.
#include <QCursor>
#include <QDir>
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
#include "report/SingleReport.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

using Clicks = QList<int>;
using Entries = QStringList;
Q_DECLARE_METATYPE(Clicks)

namespace {

// Two inputs that differ only in the case of one letter, in a folder of their own.
struct Inputs {
    QTemporaryDir directory;
    QString file1 = directory.filePath(QStringLiteral("one.txt"));
    QString file2 = directory.filePath(QStringLiteral("two.txt"));
    QString folder1 = directory.filePath(QStringLiteral("before"));
    QString folder2 = directory.filePath(QStringLiteral("after"));

    Inputs() {
        QVERIFY(WriteFile(file1, "Alpha\nBeta\n") && WriteFile(file2, "alpha\nBeta\n"));
        QDir(directory.path()).mkpath(folder1 + QStringLiteral("/sub"));
        QDir(directory.path()).mkpath(folder2);
        QVERIFY(WriteFile(folder1 + QStringLiteral("/sub/x.txt"), "x\n"));
        QVERIFY(WriteFile(folder2 + QStringLiteral("/y.txt"), "y\n"));
    }
};

}  // namespace

class CompareCommandTest : public QObject {
    Q_OBJECT
private slots:
    // What the boxes say reaches the web comparison, also a box changed without its click
    // handler (negative ids here): the boxes are read back first.
    void webRequestFromTheBoxes_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<bool>("followRedirects");
        QTest::addColumn<bool>("hta");
        QTest::newRow("web pages start state")
            << Clicks{kIdWebPages}
            << Entries{"case;yes", "indent;yes", "LineBrakeAfterEachTag;yes", "DeleteAllTags;no",
                       "ShowEmptyLines;no"}
            << true << true << false;
        QTest::newRow("every box flipped")
            << Clicks{kIdWebPages,        kIdCaseSensitive,   kIdIndent,
                      kIdShowLineNumbers, kIdKeepEmptyLines,  kIdLineBreakAfterEachTag,
                      kIdDeleteAllTags,   kIdFollowRedirects, kIdHta}
            << Entries{"case;no", "indent;no", "LineBrakeAfterEachTag;no", "DeleteAllTags;yes",
                       "ShowEmptyLines;yes"}
            << false << false << true;
        QTest::newRow("boxes changed without their handlers")
            << Clicks{kIdWebPages, -kIdCaseSensitive, -kIdShowLineNumbers}
            << Entries{"case;no", "indent;yes", "LineBrakeAfterEachTag;yes", "DeleteAllTags;no",
                       "ShowEmptyLines;no"}
            << false << true << false;
    }
    void webRequestFromTheBoxes() {
        QFETCH(Clicks, clicks);
        QFETCH(Entries, entries);
        QFETCH(bool, lineNumbers);
        QFETCH(bool, followRedirects);
        QFETCH(bool, hta);
        WindowFixture fixture;
        for (const int id : clicks) {
            if (id < 0) {
                fixture.Button(-id)->toggle();
            } else {
                fixture.Click(id);
            }
        }
        fixture.Edit(kIdInput1)->setText(QStringLiteral("example.com/a"));
        fixture.Click(kIdCompare);
        QVERIFY(fixture.webRequest.has_value());
        Entries built;
        const OptionMap options = BuildOptionMap(fixture.webRequest->options);
        for (const std::string& entry : options.Entries()) {
            built << QString::fromStdString(entry);
        }
        QCOMPARE(built, entries);
        QCOMPARE(fixture.webRequest->inputs[0], std::string("example.com/a"));
        QVERIFY(fixture.webRequest->WebPages());
        QCOMPARE(fixture.webRequest->showLineNumbers, lineNumbers);
        QCOMPARE(fixture.webRequest->followRedirects, followRedirects);
        QCOMPARE(fixture.webRequest->containerForm == ContainerForm::Hta, hta);
        QCOMPARE(fixture.webCertificates, &fixture.certificates);
    }

    // A real run: the named container is written and opened, and the case box decides the
    // result of two files that differ only in case.
    void filesAndFoldersOpenTheNamedContainer_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<QString>("containerName");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("files, HTML") << Clicks{kIdFiles, kIdHtml} << "Tandemix.htm"
                                     << QByteArray("Ergebnis: 1 Unterschiede");
        QTest::newRow("files, HTA, case ignored")
            << Clicks{kIdFiles, kIdHta, kIdCaseSensitive} << "Tandemix.hta"
            << QByteArray("Ergebnis: Keine Unterschiede");
        QTest::newRow("folders, HTML") << Clicks{kIdFolders, kIdHtml} << "Tandemix.htm"
                                       << QByteArray("Ergebnis: 1 Unterschiede");
        QTest::newRow("folders, HTA") << Clicks{kIdFolders, kIdHta} << "Tandemix.hta"
                                      << QByteArray("Ergebnis: 1 Unterschiede");
    }
    void filesAndFoldersOpenTheNamedContainer() {
        QFETCH(Clicks, clicks);
        QFETCH(QString, containerName);
        QFETCH(QByteArray, result);
        Inputs inputs;
        WindowFixture fixture;
        for (const int id : clicks) {
            fixture.Click(id);
        }
        if (clicks.front() == kIdFiles) {
            fixture.Type(inputs.file1, inputs.file2);
        } else {
            fixture.Type(inputs.folder1, inputs.folder2);
        }
        fixture.Click(kIdCompare);

        QVERIFY(fixture.messages.messages.empty());
        const std::string container = fixture.OutputPath(containerName.toStdString());
        QCOMPARE(fixture.launcher.attempts, (Launches{{LaunchAttempt::ReportViewer, container}}));
        QCOMPARE(fixture.Read(containerName.toStdString()), ContainerBytes());
        QVERIFY(fixture.Read(kTopPageName).contains(result));
        QVERIFY(fixture.Wrote(kPage1Name) && fixture.Wrote(kPage2Name));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // "Verzeichnisse" with "Bericht als eine Datei": the one file of the two trees, with the
    // entries and the file's rows, opened by file type.
    void foldersInOneFileShowTheTree() {
        Inputs inputs;
        const QString ini = inputs.directory.filePath(QStringLiteral("tandemix.ini"));
        QSettings(ini, QSettings::IniFormat)
            .setValue(QStringLiteral("advanced/report"), QStringLiteral("single"));
        WindowFixture fixture(ini);
        fixture.Click(kIdFolders);
        fixture.Type(inputs.folder1, inputs.folder2);
        fixture.Click(kIdCompare);

        QVERIFY(fixture.messages.messages.empty());
        const std::string report = fixture.OutputPath(kSingleReportName);
        QCOMPARE(fixture.launcher.attempts, (Launches{{LaunchAttempt::ByFileType, report}}));
        const QByteArray page = fixture.Read(kSingleReportName);
        QVERIFY(page.contains("Ergebnis: 2 Unterschiede"));
        QVERIFY(page.contains(R"(["sub/x.txt",2,"f-",)"));
        QVERIFY(page.contains(R"(["y.txt",3,"-f",)"));
    }

    void bothFormsStaySideBySide() {
        Inputs inputs;
        WindowFixture fixture;
        fixture.Click(kIdHta);
        fixture.Type(inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        fixture.Click(kIdHtml);
        fixture.Click(kIdCompare);
        QVERIFY(fixture.Wrote(kHtaContainerName) && fixture.Wrote(kHtmlContainerName));
        QCOMPARE(fixture.launcher.attempts.back().second, fixture.OutputPath(kHtmlContainerName));
    }

    void runMessagesBecomeBoxes() {
        Inputs inputs;
        WindowFixture fixture;
        const QString missing = inputs.directory.filePath(QStringLiteral("missing.txt"));
        fixture.Type(missing, inputs.file1);
        fixture.Click(kIdCompare);
        // One box: the fixed sentence, then the path and why it is not there.
        QCOMPARE(fixture.messages.messages,
                 std::vector<std::string>{std::string(tandemix::messages::kInput1Missing) + "\n" +
                                          missing.toStdString() + ": Der Pfad existiert nicht."});
        QVERIFY(fixture.launcher.attempts.empty());
        QVERIFY(!fixture.Wrote(kHtmlContainerName));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // The wait cursor shows while comparing and goes on every way out; an exception becomes
    // a message and the window stays usable.
    void exceptionsBecomeAMessageAndTheWindowStaysUsable_data() {
        AddRows<bool>("outOfMemory", {{"memory exhausted", true}, {"other error", false}});
    }
    void exceptionsBecomeAMessageAndTheWindowStaysUsable() {
        QFETCH(bool, outOfMemory);
        Inputs inputs;
        WindowFixture fixture;
        std::optional<Qt::CursorShape> shape;
        fixture.duringWebCompare = [outOfMemory, &shape] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
                shape = cursor->shape();
            }
            if (outOfMemory) {
                throw std::bad_alloc();
            }
            throw std::runtime_error("disk full");
        };
        fixture.Click(kIdWebPages);
        fixture.Click(kIdCompare);
        QCOMPARE(shape, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        const std::string expected = outOfMemory
                                         ? std::string(app::messages::kCompareOutOfMemory)
                                         : std::string(app::messages::kCompareFailed) + "disk full";
        QCOMPARE(fixture.messages.messages, std::vector<std::string>{expected});
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        fixture.Click(kIdFiles);
        fixture.Type(inputs.file1, inputs.file2);
        fixture.Click(kIdCompare);
        QCOMPARE(fixture.launcher.attempts.size(), std::size_t{1});
    }

    void certificateQuestion_data() {
        AddRows<bool>("accepted", {{"Ja loads", true}, {"Nein refuses", false}});
    }
    void certificateQuestion() {
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
            return accepted ? QMessageBox::Yes : QMessageBox::No;
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

    // Error pages are compared, but the window says so after the compare, in one note box
    // with the run's hints, which name the window's own controls.
    void errorPagesAndHintsAreNotedAfterTheCompare() {
        WindowFixture fixture;
        fixture.Click(kIdWebPages);
        fixture.webOutcome.pageStatus = {404, 500};
        fixture.webOutcome.run.hints = {true, 2};
        fixture.Click(kIdCompare);
        QVERIFY(fixture.messages.messages.empty());
        QCOMPARE(fixture.Button(kIdAdvanced)->text(), QString::fromUtf8("Erweitert\xE2\x80\xA6"));
        QCOMPARE(fixture.messages.notes,
                 std::vector<std::string>{
                     "Warnung: Internet-Seite 1 antwortete mit 404\n"
                     "Warnung: Internet-Seite 2 antwortete mit 500\n"
                     "Hinweis: Viele Zeilen sind als verschieden markiert; \xE2\x80\x9EGenaue "
                     "Zeilenzuordnung (k\xC3\xBCrzeste \xC3\x84nderungsliste)\xE2\x80\x9C unter "
                     "\xE2\x80\x9E"
                     "Erweitert\xE2\x80\xA6\xE2\x80\x9C findet oft weniger Unterschiede.\n"
                     "Hinweis: 2 Dateien mit gleichem Namen und gleicher Zeit unterscheiden sich "
                     "in der Gr\xC3\xB6\xC3\x9F"
                     "e; \xE2\x80\x9EVerzeichnisse nach Inhalt vergleichen\xE2\x80\x9C unter "
                     "\xE2\x80\x9E"
                     "Erweitert\xE2\x80\xA6\xE2\x80\x9C vergleicht nach Inhalt."});
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
