// The browser pane and the report viewer in a real web engine, and the programs run as root.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QtTest>

#include <unistd.h>

#include "Recorders.h"
#include "app/BrowserPane.h"
#include "app/viewer/ReportViewer.h"
#include "report/ResultContainer.h"
#include "run/Comparison.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

Q_DECLARE_METATYPE(tandemix::ContainerForm)

namespace {

constexpr int kLoadTimeoutMs = 30000;
constexpr char kTooBig[] = "Der Bericht ist zu gro\xC3\x9F f\xC3\xBCr die Anzeige";

QVariant Evaluate(QWebEngineView& view, const QString& script) {
    QVariant result;
    bool done = false;
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kLoadTimeoutMs)) {
        return QStringLiteral("<timeout>");
    }
    return result;
}

bool WaitForLoad(QWebEngineView& view) {
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    return loaded.wait(kLoadTimeoutMs);
}

// A report viewer whose launcher and message boxes are recorders, and a folder for reports.
struct ViewerFixture {
    QTemporaryDir directory;
    RecordingLauncher launcher;
    RecordingSink messages;
    ReportViewer viewer{launcher, messages};

    // The path of the file written, or nothing when it could not be written.
    QString Write(const QString& name, const QByteArray& bytes) const {
        const QString path = directory.filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }
};

// Counts every connection made to it on the loopback interface.
struct ConnectionCounter {
    QTcpServer server;
    QStringList requests;

    ConnectionCounter() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                requests.append(QStringLiteral("connection"));
                socket->deleteLater();
            }
        });
    }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(server.serverPort()).arg(path);
    }
};

// Tries to read outside its folder and to reach the server by every road a page has.
QByteArray HostilePage(const ConnectionCounter& server, const QString& secret) {
    const QString secretUrl = QUrl::fromLocalFile(secret).toString();
    return QStringLiteral(R"(<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>
<img src="%1"><iframe id="net" src="%2"></iframe><iframe id="file" src="%3"></iframe>
<script>
var r = {};
function xhr(name, url) {
  try {
    var x = new XMLHttpRequest();
    x.open('GET', url);
    x.onload = function () { r[name] = x.responseText; };
    x.onerror = function () { r[name] = 'blocked'; };
    x.send();
  } catch (e) { r[name] = 'blocked'; }
}
function get(name, url) {
  fetch(url).then(function (a) { return a.text(); })
            .then(function (t) { r[name] = t; }, function () { r[name] = 'blocked'; });
}
xhr('inside', 'inside.txt');
xhr('outside', '%3');
xhr('link', 'link.txt');
xhr('xhrNet', '%4');
get('fetchNet', '%5');
get('fetchFile', '%3');
try { new WebSocket('%6'); } catch (e) {}
try { navigator.sendBeacon('%7', 'x'); } catch (e) {}
setTimeout(function () { location.href = '%8'; }, 300);
</script></body></html>)")
        .arg(server.Url(QStringLiteral("img")), server.Url(QStringLiteral("frame")), secretUrl,
             server.Url(QStringLiteral("xhr")), server.Url(QStringLiteral("fetch")),
             server.Url(QStringLiteral("ws"))
                 .replace(QStringLiteral("http:"), QStringLiteral("ws:")),
             server.Url(QStringLiteral("beacon")), server.Url(QStringLiteral("away")))
        .toUtf8();
}

}  // namespace

class WebEngineTest : public QObject {
    Q_OBJECT
private slots:
    void externalProperty_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("defined");
        QTest::newRow("the property") << "xxyyzz" << true;
        QTest::newRow("only three characters decide") << "xxyabc" << true;
        QTest::newRow("full-width letters")
            << QString::fromUtf8("\xEF\xBD\x98\xEF\xBD\x98\xEF\xBD\x99zz") << true;
        QTest::newRow("another name") << "abcdef" << false;
        QTest::newRow("too short") << "xx" << false;
        QTest::newRow("case matters") << "XXYYZZ" << false;
    }
    void externalProperty() {
        QFETCH(QString, name);
        QFETCH(bool, defined);
        CWebBrowser2 pane;
        pane.setHtml(QStringLiteral("<html><body>x</body></html>"),
                     QUrl(QStringLiteral("http://localhost/")));
        QVERIFY(WaitForLoad(pane));
        const QString script = QStringLiteral("String(window.external['%1'])").arg(name);
        QCOMPARE(Evaluate(pane, script).toString(),
                 defined ? QStringLiteral("Wibble") : QStringLiteral("undefined"));
    }

    void unreachablePageShowsTheBundledHelp() {
        CWebBrowser2 pane;
        pane.Navigate("http://127.0.0.1:1/hilfe/start.php?version=1.0");
        QTRY_COMPARE_WITH_TIMEOUT(pane.url(), CWebBrowser2::OfflineHelpUrl(), kLoadTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QStringLiteral("Tandemix Hilfe"), kLoadTimeoutMs);
        QVERIFY(Evaluate(pane, QStringLiteral("document.body.innerText"))
                    .toString()
                    .contains(QStringLiteral("Leere Zeilen erhalten")));
    }

    // Neither the page's menu nor the window's own (which holds the About entry) opens.
    void paneOffersNoContextMenu() {
        QWidget window;
        window.setContextMenuPolicy(Qt::ActionsContextMenu);
        window.addAction(new QAction(QStringLiteral("window menu"), &window));
        auto* pane = new CWebBrowser2(&window);
        pane->setGeometry(0, 0, 300, 200);
        pane->setHtml(QStringLiteral("<html><body><p>text to click</p></body></html>"));
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(WaitForLoad(*pane));
        QWidget* target = pane->focusProxy() != nullptr ? pane->focusProxy() : pane;
        QTest::mouseClick(target, Qt::RightButton, {}, QPoint(20, 20));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                target->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(target, &event);
        QTest::qWait(300);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(window.findChildren<QMenu*>().isEmpty());
    }

    void viewerReportFramesScriptEachOther_data() {
        AddRows<ContainerForm>("form", {{"hta", ContainerForm::Hta}, {"htm", ContainerForm::Html}});
    }
    void viewerReportFramesScriptEachOther() {
        QFETCH(ContainerForm, form);
        ViewerFixture fixture;
        SilentDebugLog debugLog;
        const RunContext context{fixture.directory.path().toStdString(), CodePage::Utf8,
                                 fixture.messages, debugLog};
        CompareRequest request;
        request.inputs[0] =
            fixture.Write(QStringLiteral("a.txt"), "Sleeping bag\nHead torch\n").toStdString();
        request.inputs[1] =
            fixture.Write(QStringLiteral("b.txt"), "Sleeping mat\nHead torch\n").toStdString();
        request.containerForm = form;
        const CompareOutcome outcome = CompareIntoReport(request, context, nullptr);
        QVERIFY(!outcome.containerPath.empty());

        QCOMPARE(fixture.viewer.windowTitle(), QStringLiteral("Tandemix Ergebnisse"));
        QWebEngineView& view = *fixture.viewer.View();
        fixture.viewer.OpenReport(QString::fromStdString(outcome.containerPath));
        QVERIFY(WaitForLoad(view));
        // frames[0] is the top page: the name "top" is shadowed by window.top.
        const QString frameText = QStringLiteral(
            "(function(){try{return frames['frame0'].document.body.textContent.length>0 && "
            "frames[0].document.forms.length>0;}catch(e){return 'blocked: '+e;}})()");
        QTRY_COMPARE_WITH_TIMEOUT(Evaluate(view, frameText).toString(), QStringLiteral("true"),
                                  kLoadTimeoutMs);
        // The search of the top frame marks the phrase in both side frames.
        Evaluate(view, QStringLiteral("var t=frames[0].document;"
                                      "t.suche.eingabe.value='Sleeping';"
                                      "t.suche.senden.click();"));
        const QString marks = QStringLiteral(
            "frames['frame0'].document.querySelectorAll('span.hervorhebungexakt').length + ',' +"
            "frames['frame1'].document.querySelectorAll('span.hervorhebungexakt').length");
        QTRY_COMPARE_WITH_TIMEOUT(Evaluate(view, marks).toString(), QStringLiteral("1,1"),
                                  kLoadTimeoutMs);
    }

    // A one-file report is an ordinary page, here larger than a page handed over whole may be.
    void viewerOpensOneFileReport() {
        ViewerFixture fixture;
        fixture.viewer.OpenReport(fixture.Write(
            QStringLiteral("Tandemix-Bericht.html"),
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Bericht</title>"
            "</head><body><p id=\"rows\">" +
                QByteArray(3 << 20, 'x') +
                "</p><script>document.title = 'Bericht ' + "
                "document.getElementById('rows').textContent.length;</script></body></html>"));
        QTRY_COMPARE_WITH_TIMEOUT(fixture.viewer.View()->title(),
                                  QStringLiteral("Bericht %1").arg(3 << 20), kLoadTimeoutMs);
    }

    void viewerKeepsPagesInTheirFolder_data() {
        AddRows<QString>("name", {{"hta", "Tandemix.hta"}, {"htm", "Tandemix.htm"}});
    }
    void viewerKeepsPagesInTheirFolder() {
        QFETCH(QString, name);
        ConnectionCounter server;
        QVERIFY(server.server.isListening());
        QTemporaryDir outside;
        const QString secret = outside.filePath(QStringLiteral("secret.txt"));
        QVERIFY(WriteFile(secret, "geheim"));
        ViewerFixture fixture;
        QVERIFY(!fixture.Write(QStringLiteral("inside.txt"), "drinnen").isEmpty());
        QVERIFY(QFile::link(secret, fixture.directory.filePath(QStringLiteral("link.txt"))));
        const QString report = fixture.Write(name, HostilePage(server, secret));
        fixture.viewer.OpenReport(report);
        QWebEngineView& view = *fixture.viewer.View();

        QTRY_COMPARE_WITH_TIMEOUT(
            Evaluate(view, QStringLiteral("typeof r === 'object' ? Object.keys(r).length : 0"))
                .toInt(),
            6, kLoadTimeoutMs);
        QTest::qWait(1500);  // the navigation away, and stragglers
        QCOMPARE(Evaluate(view, QStringLiteral("r.inside")).toString(), QStringLiteral("drinnen"));
        for (const QString& attempt :
             {QStringLiteral("outside"), QStringLiteral("link"), QStringLiteral("fetchFile"),
              QStringLiteral("xhrNet"), QStringLiteral("fetchNet")}) {
            QCOMPARE(Evaluate(view, QStringLiteral("r.") + attempt).toString(),
                     QStringLiteral("blocked"));
        }
        const QString frameText = QStringLiteral(
            "(function(){try{return document.getElementById('file').contentDocument.body"
            ".innerText;}catch(e){return 'unreadable';}})()");
        QVERIFY(!Evaluate(view, frameText).toString().contains(QStringLiteral("geheim")));
        QCOMPARE(server.requests, QStringList());
        QCOMPARE(view.url().fileName(), name);
        QVERIFY(fixture.launcher.attempts.empty());
    }

    // Only a link the user follows leaves the report, and then for the web browser.
    void viewerHandsClickedLinksToTheBrowser_data() {
        AddRows<QString>("target", {{"same window", "_self"}, {"a window of its own", "blank"}});
    }
    void viewerHandsClickedLinksToTheBrowser() {
        QFETCH(QString, target);
        const QString link = QStringLiteral("http://127.0.0.1:1/hilfe?seite=1");
        ViewerFixture fixture;
        const QString report = fixture.Write(
            QStringLiteral("Tandemix-Bericht.html"),
            QStringLiteral("<!DOCTYPE html><html><body style=\"margin:0\">"
                           "<a id=\"a\" href=\"%1\" target=\"%2\" style=\"display:block;"
                           "width:100vw;height:100vh\">weiter</a><script>"
                           "document.getElementById('a').click();document.title='geklickt';"
                           "</script></body></html>")
                .arg(link, target)
                .toUtf8());
        fixture.viewer.OpenReport(report);
        QWebEngineView& view = *fixture.viewer.View();
        QTRY_COMPARE_WITH_TIMEOUT(view.title(), QStringLiteral("geklickt"), kLoadTimeoutMs);
        QTest::qWait(500);
        QVERIFY(fixture.launcher.attempts.empty());

        fixture.viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.viewer));
        QTRY_VERIFY_WITH_TIMEOUT(view.focusProxy() != nullptr, kLoadTimeoutMs);
        // A busy machine may not have laid the page out by the first click.
        for (int click = 0; click < 20 && fixture.launcher.attempts.empty(); ++click) {
            QTest::mouseClick(view.focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
            QTest::qWait(500);
        }
        QVERIFY(!fixture.launcher.attempts.empty());
        QCOMPARE(fixture.launcher.attempts.front(),
                 std::pair(LaunchAttempt::BrowserLauncher, link.toStdString()));
        QCOMPARE(view.url().fileName(), QStringLiteral("Tandemix-Bericht.html"));
    }

    // The engine's sandbox cannot work for root: the programs start without it and say so.
    void rootStartsWithoutSandbox_data() {
        AddRows<QString>("variable",
                         {{"viewer", "TANDEMIX_VIEWER"}, {"window", "TANDEMIX_WINDOW"}});
    }
    void rootStartsWithoutSandbox() {
        QFETCH(QString, variable);
        if (::geteuid() != 0) {
            QSKIP("needs root: the sandbox stays on for everyone else");
        }
        const QString program = qEnvironmentVariable(variable.toLatin1().constData());
        if (program.isEmpty()) {
            QSKIP("the program's path is not given");
        }
        ViewerFixture fixture;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                           QStringLiteral("--disable-gpu"));
        environment.insert(QStringLiteral("HOME"), fixture.directory.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        const QStringList arguments =
            variable == QStringLiteral("TANDEMIX_VIEWER")
                ? QStringList{fixture.Write(QStringLiteral("Tandemix.htm"), ContainerBytes())}
                : QStringList{};
        process.start(program, arguments);
        QVERIFY(process.waitForStarted());
        // Refused, the engine ends the program within a moment.
        const bool refused = process.waitForFinished(5000);
        process.kill();
        process.waitForFinished();
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(!refused, qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("ohne Sandbox")), qPrintable(errors));
    }

    void viewerTakesMostOfTheScreen() {
        QCOMPARE(ViewerGeometry(QRect(0, 20, 1000, 800)), QRect(50, 60, 900, 720));
        ViewerFixture fixture;
        QCOMPARE(fixture.viewer.geometry(),
                 ViewerGeometry(fixture.viewer.screen()->availableGeometry()));
    }

    void terminationMessages_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("killed by the out-of-memory killer")
            << int{QWebEnginePage::KilledTerminationStatus} << 9 << QString::fromUtf8(kTooBig);
        QTest::newRow("exit code")
            << int{QWebEnginePage::AbnormalTerminationStatus} << 3
            << "Die Anzeige des Berichts wurde mit dem Fehlercode 3 beendet.";
    }
    void terminationMessages() {
        QFETCH(int, status);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QCOMPARE(TerminationMessage(
                     static_cast<QWebEnginePage::RenderProcessTerminationStatus>(status), exitCode),
                 message);
    }

    // The page process really dies; the viewer says why and hands the browser the report.
    void deadPageProcessIsReported_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("message");
        QTest::newRow("crash") << "chrome://crash"
                               << QString::fromUtf8(
                                      "Die Anzeige des Berichts ist abgest\xC3\xBC"
                                      "rzt (Speicherzugriffsfehler, Signal 11).");
        QTest::newRow("out of memory")
            << "var keep = []; for (;;) { keep.push(new Array(100000).fill(Math.random())); }"
            << QString::fromUtf8(kTooBig);
    }
    void deadPageProcessIsReported() {
        QFETCH(QString, cause);
        QFETCH(QString, message);
        ViewerFixture fixture;
        ReportViewer& viewer = fixture.viewer;
        viewer.OpenReport(fixture.Write(QStringLiteral("Tandemix.hta"), ContainerBytes()));
        QVERIFY(WaitForLoad(*viewer.View()));
        QVERIFY(!viewer.ShowsProblem());
        if (cause.startsWith(QStringLiteral("chrome:"))) {
            viewer.View()->load(QUrl(cause));
        } else {
            viewer.View()->page()->runJavaScript(cause);
        }
        QTRY_VERIFY_WITH_TIMEOUT(viewer.ShowsProblem(), kLoadTimeoutMs);
        QCOMPARE(viewer.ProblemText(), message);

        viewer.BrowserButton()->click();
        const QString html = fixture.directory.filePath(QStringLiteral("Tandemix.htm"));
        QCOMPARE(fixture.launcher.attempts,
                 (Launches{{LaunchAttempt::BrowserLauncher, html.toStdString()}}));
        QCOMPARE(ReadFile(html), ContainerBytes());
        QVERIFY(fixture.messages.messages.empty());
    }
};

int main(int argc, char** argv) {
    PrepareWebEngine();
    // A small script heap lets a test run the page process out of memory in a moment.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --js-flags=--max-old-space-size=64");
    QApplication application(argc, argv);
    WebEngineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WebEngineTest.moc"
