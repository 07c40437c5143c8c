// The link control's colours and clicks, and the About box.
#include <QtTest>

#include "Recorders.h"
#include "app/AboutDialog.h"
#include "app/StaticLink.h"

using namespace tandemix;
using namespace tandemix::app;
using namespace tandemix::app::test;

class LinkAndAboutTest : public QObject {
    Q_OBJECT
private slots:
    void colourAfterClick_data() {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("opened turns purple") << true << QColor(128, 0, 128);
        QTest::newRow("failed stays blue") << false << QColor(0, 0, 255);
    }
    void colourAfterClick() {
        QFETCH(bool, opens);
        QFETCH(QColor, colour);
        RecordingOpener opener;
        opener.succeed = opens;
        CStaticLink link(QStringLiteral("http://www.example.com/"), opener,
                         QCursor(Qt::PointingHandCursor));
        QCOMPARE(link.TextColour(), QColor(0, 0, 255));
        QVERIFY(link.font().underline());
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(&link, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), std::size_t{1});
        QCOMPARE(link.TextColour(), colour);
        QCOMPARE(link.IsVisited(), opens);
    }

    void linkTextOrCaption_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("opened");
        QTest::newRow("empty link opens the caption") << ""
                                                      << "http://www.example.com/";
        QTest::newRow("own link") << "http://www.tandemix.example.com/"
                                  << "http://www.tandemix.example.com/";
    }
    void linkTextOrCaption() {
        QFETCH(QString, link);
        QFETCH(QString, opened);
        RecordingOpener opener;
        CStaticLink control(QStringLiteral("http://www.example.com/"), opener, QCursor());
        control.SetLink(link.toStdString());
        control.Open();
        QCOMPARE(QString::fromStdString(opener.opened.front()), opened);
    }

    void pictureGetsNoLinkColours() {
        RecordingOpener opener;
        QPixmap picture(8, 8);
        picture.fill(Qt::green);
        CStaticLink link(QString(), opener, QCursor());
        link.setPixmap(picture);
        QVERIFY(!link.TextColour().isValid());
    }

    void aboutBox() {
        RecordingOpener opener;
        CAboutDlg about(opener, QCursor(Qt::PointingHandCursor));
        QCOMPARE(about.windowTitle(), QString::fromUtf8("Info \xC3\xBC"
                                                        "ber Tandemix"));
        CStaticLink* product = about.Link(CAboutDlg::kProductLinkId);
        CStaticLink* maker = about.Link(CAboutDlg::kMakerLinkId);
        QVERIFY(product != nullptr && maker != nullptr);
        QVERIFY(product->text().contains(QStringLiteral(".example.com")));
        QVERIFY(maker->text().contains(QStringLiteral("example.com")));
        QVERIFY(!product->geometry().intersects(maker->geometry()));
        maker->Open();
        QCOMPARE(maker->TextColour(), QColor(128, 0, 128));
        QCOMPARE(product->TextColour(), QColor(0, 0, 255));
        // A new box starts with unvisited links.
        CAboutDlg again(opener, QCursor());
        QCOMPARE(again.Link(CAboutDlg::kMakerLinkId)->TextColour(), QColor(0, 0, 255));
    }
};

QTEST_MAIN(LinkAndAboutTest)
#include "LinkAndAboutTest.moc"
