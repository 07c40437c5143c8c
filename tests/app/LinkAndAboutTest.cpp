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
    // A click opens the link, or the caption when the link is empty; the colour turns
    // purple only when the address opened.
    void clickOpensAndColours_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("caption opened turns purple")
            << "" << true << "http://www.example.com/" << QColor(128, 0, 128);
        QTest::newRow("own link failing stays blue")
            << "http://www.tandemix.example.com/" << false << "http://www.tandemix.example.com/"
            << QColor(0, 0, 255);
    }
    void clickOpensAndColours() {
        QFETCH(QString, link);
        QFETCH(bool, opens);
        QFETCH(QString, opened);
        QFETCH(QColor, colour);
        RecordingOpener opener;
        opener.succeed = opens;
        CStaticLink control(QStringLiteral("http://www.example.com/"), opener,
                            QCursor(Qt::PointingHandCursor));
        control.SetLink(link.toStdString());
        QCOMPARE(control.TextColour(), QColor(0, 0, 255));
        QVERIFY(control.font().underline());
        QCOMPARE(control.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(&control, Qt::LeftButton);
        QCOMPARE(opener.opened, std::vector<std::string>{opened.toStdString()});
        QCOMPARE(control.TextColour(), colour);
        QCOMPARE(control.IsVisited(), opens);
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
