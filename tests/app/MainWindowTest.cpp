// The main window as it opens and the rules by which the kind buttons and option boxes
// enable, disable and set each other.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "app/CompareApp.h"
#include "app/DialogControls.h"
#include "app/KindRules.h"
#include "app/ProductResources.h"
#include "app/QtText.h"
#include "run/OutputDirectory.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

struct BoxState {
    int id = 0;
    bool checked = false;
    bool enabled = false;
};
using BoxStates = QList<BoxState>;
using Clicks = QList<int>;
Q_DECLARE_METATYPE(BoxState)
Q_DECLARE_METATYPE(Clicks)

namespace {

constexpr bool kChecked = true;
constexpr bool kUnchecked = false;
constexpr bool kEnabled = true;
constexpr bool kDisabled = false;

void ExpectBoxes(const WindowFixture& fixture, const BoxStates& expected) {
    for (const BoxState& box : expected) {
        const QAbstractButton* button = fixture.Button(box.id);
        QVERIFY2(button != nullptr, qPrintable(QString::number(box.id)));
        QVERIFY2(button->isChecked() == box.checked,
                 qPrintable(QStringLiteral("checked state of %1").arg(box.id)));
        QVERIFY2(button->isEnabled() == box.enabled,
                 qPrintable(QStringLiteral("enabled state of %1").arg(box.id)));
    }
}

QString Caption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        return frame->title();
    }
    return {};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startState() {
        WindowFixture fixture;
        ExpectBoxes(fixture, {{kIdFiles, kChecked, kEnabled},
                              {kIdFolders, kUnchecked, kEnabled},
                              {kIdWebPages, kUnchecked, kEnabled},
                              {kIdFollowRedirects, kUnchecked, kDisabled},
                              {kIdCaseSensitive, kChecked, kEnabled},
                              {kIdIndent, kChecked, kEnabled},
                              {kIdShowLineNumbers, kChecked, kEnabled},
                              {kIdKeepEmptyLines, kUnchecked, kEnabled},
                              {kIdLineBreakAfterEachTag, kUnchecked, kEnabled},
                              {kIdDeleteAllTags, kUnchecked, kEnabled},
                              {kIdHta, kUnchecked, kEnabled},
                              {kIdHtml, kChecked, kEnabled}});
        QVERIFY(fixture.Button(kIdBrowse1)->isEnabled());
        QVERIFY(fixture.Button(kIdBrowse2)->isEnabled());
        QCOMPARE(fixture.Edit(kIdInput1)->text(), QString());
        QCOMPARE(fixture.Edit(kIdInput2)->text(), QString());
        QCOMPARE(fixture.window->CurrentBrowseKind(), BrowseKind::File);
        QCOMPARE(fixture.window->windowTitle(), FromUtf8(app::messages::kWindowTitle));
        QVERIFY(qobject_cast<QPushButton*>(fixture.window->Control(kIdCompare))->isDefault());
        QVERIFY(fixture.messages.texts.empty());
    }

    void captions_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("caption");
        const std::pair<int, const char*> rows[] = {
            {kIdCompareLabel, "Vergleiche"},
            {kIdFiles, "Dateien"},
            {kIdFolders, "Verzeichnisse"},
            {kIdWebPages, "Internet-Seiten"},
            {kIdFollowRedirects, "Redirects folgen"},
            {kIdBrowse1, "..."},
            {kIdBrowse2, "..."},
            {kIdAbout, "Info"},
            {kIdHelp, "Hilfe"},
            {kIdCancel, "Beenden"},
            {kIdCompare, "Vergleichen"},
            {kIdShowLineNumbers, "Zeilennummer anzeigen"},
            {kIdCaseSensitive, "Gro\xC3\x9F-/Kleinschreibung beachten"},
            {kIdIndent,
             "Einr\xC3\xBC"
             "cken"},
            {kIdKeepEmptyLines, "Leere Zeilen erhalten"},
            {kIdLineBreakAfterEachTag, "Zeilenumbruch nach jedem Tag"},
            {kIdDeleteAllTags, "Alle Tags l\xC3\xB6schen"},
            {kIdHta, "H&TA"},
            {kIdHtml, "HT&ML"},
            {kIdGeneralOptions, "Optionen"},
            {kIdHtmlOptions, "HTML Optionen"},
            {kIdOutputOptions, "Ausgabe-Optionen"},
            {kIdMakerLink, "http://www.example.com/"},
            {kIdAdvanced, "Erweitert\xE2\x80\xA6"},
        };
        for (const auto& [id, caption] : rows) {
            QTest::newRow(qPrintable(QString::number(id))) << id << QString::fromUtf8(caption);
        }
    }
    void captions() {
        QFETCH(int, id);
        QFETCH(QString, caption);
        WindowFixture fixture;
        QCOMPARE(Caption(fixture.window->Control(id)), caption);
    }

    // Every control sits where its dialog units say, and carries its identifier.
    void layoutFollowsDialogUnits() {
        WindowFixture fixture;
        const DialogUnits units(fixture.window->font());
        QCOMPARE(fixture.window->size(), units.Size(kMainWindowWidthDu, kMainWindowHeightDu));
        QCOMPARE(fixture.window->minimumSize(), fixture.window->maximumSize());
        for (const ControlEntry& control : MainWindowControls()) {
            if (control.id == kIdNone) {
                continue;
            }
            QWidget* widget = fixture.window->Control(control.id);
            QVERIFY2(widget != nullptr, qPrintable(QString::number(control.id)));
            QCOMPARE(widget->property(kControlIdProperty).toInt(), control.id);
            const QRect expected = units.Rect(control.rect);
            if (control.id == kIdMakerLink) {
                // The link grows to the left to show its whole address.
                QCOMPARE(widget->geometry().right(), expected.right());
                QCOMPARE(widget->geometry().top(), expected.top());
                QVERIFY(widget->width() >= widget->sizeHint().width());
                continue;
            }
            QCOMPARE(widget->geometry(), expected);
        }
    }

    // The one control beyond the original layout lies inside the output options and touches
    // no other control, also with its caption drawn whole.
    void advancedButtonDisturbsNoControl() {
        WindowFixture fixture;
        QWidget* advanced = fixture.window->Control(kIdAdvanced);
        QVERIFY(advanced->width() >= advanced->sizeHint().width());
        for (const ControlEntry& control : MainWindowControls()) {
            if (control.id == kIdAdvanced || control.id == kIdNone) {
                continue;
            }
            const QRect other = fixture.window->Control(control.id)->geometry();
            if (control.id == kIdOutputOptions) {
                QVERIFY(other.contains(advanced->geometry()));
            } else {
                QVERIFY2(!other.intersects(advanced->geometry()),
                         qPrintable(QString::number(control.id)));
            }
        }
    }

    void dialogUnitConversion_data() {
        QTest::addColumn<int>("averageWidth");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("expected");
        // Tahoma 8 pt at 96 dpi: 6 by 13 pixels; x rounds 344 * 6 / 4 = 516, y 12 * 13 / 8.
        QTest::newRow("tahoma-like") << 6 << 13 << QRect(21, 34, 516, 20);
        QTest::newRow("halves round away from zero") << 5 << 12 << QRect(18, 32, 430, 18);
    }
    void dialogUnitConversion() {
        QFETCH(int, averageWidth);
        QFETCH(int, height);
        QFETCH(QRect, expected);
        const DialogUnits units(averageWidth, height);
        QCOMPARE(units.Rect({14, 21, 344, 12}), expected);
    }

    void startPageIsNavigatedOnOpening() {
        WindowFixture fixture;
        QCOMPARE(fixture.pane->addresses.size(), std::size_t{1});
        QVERIFY(fixture.pane->addresses.front().ends_with("/hilfe/start.php?version=1.0"));
        QVERIFY(fixture.pane->addresses.front().starts_with("http://"));
    }

    void helpNavigatesThePane() {
        WindowFixture fixture;
        fixture.Click(kIdHelp);
        QCOMPARE(fixture.pane->addresses.back(), HelpPageAddress());
        QVERIFY(fixture.pane->addresses.back().ends_with("/hilfe/help.php"));
    }

    void rules_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<BoxStates>("expected");
        QTest::newRow("folders disables the six boxes and keeps their marks")
            << Clicks{kIdFolders} << BoxStates{{kIdCaseSensitive, kChecked, kDisabled},
                                               {kIdIndent, kChecked, kDisabled},
                                               {kIdShowLineNumbers, kChecked, kDisabled},
                                               {kIdKeepEmptyLines, kUnchecked, kDisabled},
                                               {kIdLineBreakAfterEachTag, kUnchecked, kDisabled},
                                               {kIdDeleteAllTags, kUnchecked, kDisabled},
                                               {kIdFollowRedirects, kUnchecked, kDisabled}};
        QTest::newRow("files after folders enables them again")
            << Clicks{kIdFolders, kIdFiles}
            << BoxStates{{kIdCaseSensitive, kChecked, kEnabled},
                         {kIdKeepEmptyLines, kUnchecked, kEnabled},
                         {kIdLineBreakAfterEachTag, kUnchecked, kEnabled},
                         {kIdDeleteAllTags, kUnchecked, kEnabled}};
        QTest::newRow("line break stays disabled under delete all tags")
            << Clicks{kIdDeleteAllTags, kIdFolders, kIdFiles}
            << BoxStates{{kIdDeleteAllTags, kChecked, kEnabled},
                         {kIdLineBreakAfterEachTag, kUnchecked, kDisabled}};
        QTest::newRow("delete all tags disables line break at once")
            << Clicks{kIdDeleteAllTags}
            << BoxStates{{kIdLineBreakAfterEachTag, kUnchecked, kDisabled}};
        QTest::newRow("unticking delete all tags enables line break")
            << Clicks{kIdDeleteAllTags, kIdDeleteAllTags}
            << BoxStates{{kIdLineBreakAfterEachTag, kUnchecked, kEnabled}};
        QTest::newRow("web pages ticks line break and redirects")
            << Clicks{kIdWebPages}
            << BoxStates{{kIdLineBreakAfterEachTag, kChecked, kEnabled},
                         {kIdFollowRedirects, kChecked, kEnabled},
                         {kIdCaseSensitive, kChecked, kEnabled}};
        QTest::newRow("web pages under delete all tags keeps line break disabled")
            << Clicks{kIdDeleteAllTags, kIdWebPages}
            << BoxStates{{kIdLineBreakAfterEachTag, kChecked, kDisabled},
                         {kIdDeleteAllTags, kChecked, kEnabled}};
        QTest::newRow("files after web pages drops redirects, keeps line break")
            << Clicks{kIdWebPages, kIdFiles}
            << BoxStates{{kIdFollowRedirects, kUnchecked, kDisabled},
                         {kIdLineBreakAfterEachTag, kChecked, kEnabled}};
        QTest::newRow("folders after web pages drops redirects, keeps line break")
            << Clicks{kIdWebPages, kIdFolders}
            << BoxStates{{kIdFollowRedirects, kUnchecked, kDisabled},
                         {kIdLineBreakAfterEachTag, kChecked, kDisabled}};
        QTest::newRow("unticked case sensitive survives a kind change")
            << Clicks{kIdCaseSensitive, kIdFolders, kIdFiles}
            << BoxStates{{kIdCaseSensitive, kUnchecked, kEnabled}};
        QTest::newRow("every option box keeps its mark across kinds")
            << Clicks{kIdCaseSensitive,  kIdIndent,   kIdShowLineNumbers,
                      kIdKeepEmptyLines, kIdWebPages, kIdFolders,
                      kIdFiles}
            << BoxStates{{kIdCaseSensitive, kUnchecked, kEnabled},
                         {kIdIndent, kUnchecked, kEnabled},
                         {kIdShowLineNumbers, kUnchecked, kEnabled},
                         {kIdKeepEmptyLines, kChecked, kEnabled},
                         {kIdLineBreakAfterEachTag, kChecked, kEnabled}};
    }
    void rules() {
        QFETCH(Clicks, clicks);
        QFETCH(BoxStates, expected);
        WindowFixture fixture;
        for (const int id : clicks) {
            fixture.Click(id);
        }
        ExpectBoxes(fixture, expected);
    }

    void browseButtonsAndKind_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<bool>("browseEnabled");
        QTest::addColumn<bool>("folderKind");
        QTest::newRow("files") << Clicks{kIdFiles} << true << false;
        QTest::newRow("folders") << Clicks{kIdFolders} << true << true;
        QTest::newRow("web pages keeps the file kind") << Clicks{kIdWebPages} << false << false;
        QTest::newRow("web pages keeps the folder kind")
            << Clicks{kIdFolders, kIdWebPages} << false << true;
        QTest::newRow("files after web pages") << Clicks{kIdWebPages, kIdFiles} << true << false;
    }
    void browseButtonsAndKind() {
        QFETCH(Clicks, clicks);
        QFETCH(bool, browseEnabled);
        QFETCH(bool, folderKind);
        WindowFixture fixture;
        for (const int id : clicks) {
            fixture.Click(id);
        }
        QCOMPARE(fixture.Button(kIdBrowse1)->isEnabled(), browseEnabled);
        QCOMPARE(fixture.Button(kIdBrowse2)->isEnabled(), browseEnabled);
        QCOMPARE(fixture.window->CurrentBrowseKind() == BrowseKind::Folder, folderKind);
    }

    void everyKindClickEmptiesBothInputs_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("files, already chosen") << int{kIdFiles};
        QTest::newRow("folders") << int{kIdFolders};
        QTest::newRow("web pages") << int{kIdWebPages};
    }
    void everyKindClickEmptiesBothInputs() {
        QFETCH(int, kind);
        WindowFixture fixture;
        QTest::keyClicks(fixture.Edit(kIdInput1), QStringLiteral("/tmp/a"));
        QTest::keyClicks(fixture.Edit(kIdInput2), QStringLiteral("/tmp/b"));
        fixture.Click(kind);
        QCOMPARE(fixture.Edit(kIdInput1)->text(), QString());
        QCOMPARE(fixture.Edit(kIdInput2)->text(), QString());
        QVERIFY(fixture.window->States().input1.empty());
    }

    void escapeClosesTheWindow() {
        WindowFixture fixture;
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        QTest::keyClick(fixture.window.get(), Qt::Key_Escape);
        QVERIFY(!fixture.window->isVisible());
        QCOMPARE(fixture.window->result(), int{QDialog::Rejected});
    }

    void closeButtonClosesTheWindow() {
        WindowFixture fixture;
        fixture.window->show();
        fixture.Click(kIdCancel);
        QVERIFY(!fixture.window->isVisible());
    }

    void outputDirectoryIsTheDocumentsFolder() {
        QTemporaryDir home;
        OutputDirectoryEnvironment environment;
        environment.home = home.path().toStdString();
        environment.workingDirectory = home.path().toStdString();
        RecordingSink messages;
        const std::optional<std::string> directory = FixOutputDirectory(environment, messages);
        QCOMPARE(directory, std::optional<std::string>(environment.home + "/Documents"));
        QVERIFY(QFileInfo(QString::fromStdString(*directory)).isDir());
        QVERIFY(messages.texts.empty());
    }

    void noOutputDirectoryAbortsWithTheMessage() {
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        OutputDirectoryEnvironment environment;
        environment.systemTemp = notAFolder.fileName().toStdString();
        environment.workingDirectory = notAFolder.fileName().toStdString();
        RecordingSink messages;
        QCOMPARE(FixOutputDirectory(environment, messages), std::optional<std::string>());
        QCOMPARE(messages.texts.size(), std::size_t{1});
        QCOMPARE(messages.texts.front(), std::string(tandemix::messages::kNoOutputDirectory));
    }

    void contextMenuOffersTheAboutEntry() {
        WindowFixture fixture;
        QCOMPARE(fixture.window->contextMenuPolicy(), Qt::ActionsContextMenu);
        const QList<QAction*> actions = fixture.window->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.front()->text(), QString::fromUtf8("Info \xC3\xBC"
                                                            "ber Tandemix"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
