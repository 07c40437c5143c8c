// The main window as it opens and the rules by which the kind buttons and option boxes
// enable, disable and set each other.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QtTest>

#include "WindowFixture.h"
#include "app/AboutDialog.h"
#include "app/DialogControls.h"
#include "app/KindRules.h"
#include "app/ProductResources.h"
#include "app/QtText.h"

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

// What a caption takes under the font its control uses: the text's width, plus the mark
// and its spacing beside a check box's or radio button's text.
int TextWidth(QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    const int text = metrics.horizontalAdvance(Caption(widget).remove(QLatin1Char('&')));
    const QStyle* style = widget->style();
    if (qobject_cast<QCheckBox*>(widget) != nullptr) {
        return text + style->pixelMetric(QStyle::PM_IndicatorWidth) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    if (qobject_cast<QRadioButton*>(widget) != nullptr) {
        return text + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    }
    return text;
}

// Every caption of the window, and of the About box, fits its box.
void ExpectCaptionsFit(QWidget& window) {
    int measured = 0;
    for (QWidget* widget : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const auto* label = qobject_cast<QLabel*>(widget);
        if (Caption(widget).isEmpty() || (label != nullptr && label->wordWrap())) {
            continue;
        }
        ++measured;
        QVERIFY2(TextWidth(widget) <= widget->width(),
                 qPrintable(QStringLiteral("\"%1\" needs %2 pixels, has %3 (%4 pt)")
                                .arg(Caption(widget))
                                .arg(TextWidth(widget))
                                .arg(widget->width())
                                .arg(widget->font().pointSizeF())));
        QVERIFY(widget->font().pointSizeF() >= kSmallestCaptionPoints);
    }
    QVERIFY(measured > 0);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startState() {
        WindowFixture fixture;
        QCOMPARE(fixture.Edit(kIdInput1)->text(), QString());
        QCOMPARE(fixture.Edit(kIdInput2)->text(), QString());
        QVERIFY(qobject_cast<QPushButton*>(fixture.window->Control(kIdCompare))->isDefault());
        QVERIFY(fixture.messages.messages.empty());
        QCOMPARE(fixture.window->contextMenuPolicy(), Qt::ActionsContextMenu);
        const QList<QAction*> actions = fixture.window->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.front()->text(), QString::fromUtf8("Info \xC3\xBC"
                                                            "ber Tandemix"));
    }

    // Every control sits where its dialog units say, carries its identifier and shows its
    // German caption, or its resource caption where it has none.
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
            QCOMPARE(Caption(widget),
                     FromUtf8(control.germanCaption.empty() ? control.resourceCaption
                                                            : control.germanCaption));
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

    // With the fonts at hand (the tests install DejaVu), the captions' size is chosen so
    // that every one is shown whole, "Verzeichnisse" beside its radio button too.
    void captionsFitTheirBoxes() {
        WindowFixture fixture;
        qInfo("window font: %s %g pt", qPrintable(QFontInfo(fixture.window->font()).family()),
              fixture.window->font().pointSizeF());
        ExpectCaptionsFit(*fixture.window);
        RecordingOpener opener;
        CAboutDlg about(opener, QCursor());
        ExpectCaptionsFit(about);
    }

    // The advanced settings button lies inside the output options and touches
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

    void paneShowsTheStartPageThenTheHelp() {
        WindowFixture fixture;
        QCOMPARE(fixture.pane->addresses.size(), std::size_t{1});
        QVERIFY(fixture.pane->addresses.front().ends_with("/hilfe/start.php?version=1.0"));
        QVERIFY(fixture.pane->addresses.front().starts_with("http://"));
        fixture.Click(kIdHelp);
        QCOMPARE(fixture.pane->addresses.back(), HelpPageAddress());
        QVERIFY(fixture.pane->addresses.back().ends_with("/hilfe/help.php"));
    }

    // The kind buttons and option boxes after some clicks, on inputs typed beforehand: every
    // kind click empties both inputs, and the web kind keeps the browse kind it found.
    void rules_data() {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<BoxStates>("expected");
        QTest::addColumn<bool>("folderKind");
        QTest::newRow("start") << Clicks{}
                               << BoxStates{{kIdFiles, kChecked, kEnabled},
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
                                            {kIdHtml, kChecked, kEnabled},
                                            {kIdBrowse1, kUnchecked, kEnabled}}
                               << false;
        QTest::newRow("files, already chosen")
            << Clicks{kIdFiles} << BoxStates{{kIdBrowse1, kUnchecked, kEnabled}} << false;
        QTest::newRow("folders disables the six boxes and keeps their marks")
            << Clicks{kIdFolders} << BoxStates{{kIdCaseSensitive, kChecked, kDisabled},
                                               {kIdIndent, kChecked, kDisabled},
                                               {kIdShowLineNumbers, kChecked, kDisabled},
                                               {kIdKeepEmptyLines, kUnchecked, kDisabled},
                                               {kIdLineBreakAfterEachTag, kUnchecked, kDisabled},
                                               {kIdDeleteAllTags, kUnchecked, kDisabled},
                                               {kIdFollowRedirects, kUnchecked, kDisabled},
                                               {kIdBrowse1, kUnchecked, kEnabled}}
            << true;
        QTest::newRow("line break stays disabled under delete all tags")
            << Clicks{kIdDeleteAllTags, kIdFolders, kIdFiles}
            << BoxStates{{kIdDeleteAllTags, kChecked, kEnabled},
                         {kIdLineBreakAfterEachTag, kUnchecked, kDisabled}}
            << false;
        QTest::newRow("delete all tags disables line break at once")
            << Clicks{kIdDeleteAllTags}
            << BoxStates{{kIdLineBreakAfterEachTag, kUnchecked, kDisabled}} << false;
        QTest::newRow("unticking delete all tags enables line break")
            << Clicks{kIdDeleteAllTags, kIdDeleteAllTags}
            << BoxStates{{kIdLineBreakAfterEachTag, kUnchecked, kEnabled}} << false;
        QTest::newRow("web pages ticks line break and redirects, disables browsing")
            << Clicks{kIdWebPages}
            << BoxStates{{kIdLineBreakAfterEachTag, kChecked, kEnabled},
                         {kIdFollowRedirects, kChecked, kEnabled},
                         {kIdCaseSensitive, kChecked, kEnabled},
                         {kIdBrowse1, kUnchecked, kDisabled}}
            << false;
        QTest::newRow("web pages keeps the folder kind")
            << Clicks{kIdFolders, kIdWebPages} << BoxStates{{kIdBrowse1, kUnchecked, kDisabled}}
            << true;
        QTest::newRow("web pages under delete all tags keeps line break disabled")
            << Clicks{kIdDeleteAllTags, kIdWebPages}
            << BoxStates{{kIdLineBreakAfterEachTag, kChecked, kDisabled},
                         {kIdDeleteAllTags, kChecked, kEnabled}}
            << false;
        QTest::newRow("files after web pages drops redirects, keeps line break")
            << Clicks{kIdWebPages, kIdFiles}
            << BoxStates{{kIdFollowRedirects, kUnchecked, kDisabled},
                         {kIdLineBreakAfterEachTag, kChecked, kEnabled},
                         {kIdBrowse1, kUnchecked, kEnabled}}
            << false;
        QTest::newRow("folders after web pages drops redirects, keeps line break")
            << Clicks{kIdWebPages, kIdFolders}
            << BoxStates{{kIdFollowRedirects, kUnchecked, kDisabled},
                         {kIdLineBreakAfterEachTag, kChecked, kDisabled}}
            << true;
        QTest::newRow("every option box keeps its mark across kinds, enabled again by files")
            << Clicks{kIdCaseSensitive,  kIdIndent,   kIdShowLineNumbers,
                      kIdKeepEmptyLines, kIdWebPages, kIdFolders,
                      kIdFiles}
            << BoxStates{{kIdCaseSensitive, kUnchecked, kEnabled},
                         {kIdIndent, kUnchecked, kEnabled},
                         {kIdShowLineNumbers, kUnchecked, kEnabled},
                         {kIdKeepEmptyLines, kChecked, kEnabled},
                         {kIdLineBreakAfterEachTag, kChecked, kEnabled},
                         {kIdDeleteAllTags, kUnchecked, kEnabled}}
            << false;
    }
    void rules() {
        QFETCH(Clicks, clicks);
        QFETCH(BoxStates, expected);
        QFETCH(bool, folderKind);
        WindowFixture fixture;
        QTest::keyClicks(fixture.Edit(kIdInput1), QStringLiteral("/tmp/a"));
        QTest::keyClicks(fixture.Edit(kIdInput2), QStringLiteral("/tmp/b"));
        bool kindClicked = false;
        for (const int id : clicks) {
            fixture.Click(id);
            kindClicked = kindClicked || id == kIdFiles || id == kIdFolders || id == kIdWebPages;
        }
        ExpectBoxes(fixture, expected);
        QCOMPARE(fixture.Button(kIdBrowse2)->isEnabled(), fixture.Button(kIdBrowse1)->isEnabled());
        QCOMPARE(fixture.window->CurrentBrowseKind() == BrowseKind::Folder, folderKind);
        QCOMPARE(fixture.Edit(kIdInput1)->text().isEmpty(), kindClicked);
        QCOMPARE(fixture.Edit(kIdInput2)->text().isEmpty(), kindClicked);
        QVERIFY(!kindClicked || fixture.window->States().inputs[0].empty());
    }

    void escapeAndTheCloseButtonCloseTheWindow_data() {
        AddRows<bool>("escape", {{"escape", true}, {"close button", false}});
    }
    void escapeAndTheCloseButtonCloseTheWindow() {
        QFETCH(bool, escape);
        WindowFixture fixture;
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        if (escape) {
            QTest::keyClick(fixture.window.get(), Qt::Key_Escape);
        } else {
            fixture.Click(kIdCancel);
        }
        QVERIFY(!fixture.window->isVisible());
        QCOMPARE(fixture.window->result(), int{QDialog::Rejected});
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
