#include "app/AboutDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "app/DialogControls.h"
#include "app/ProductResources.h"
#include "app/QtText.h"
#include "app/StaticLink.h"

namespace tandemix::app {
namespace {

constexpr std::string_view kMakerNotice = "Ein Werkzeug zum Vergleichen von Texten.";
constexpr std::string_view kCredits1 =
    "Vergleicht zwei Dateien, zwei Verzeichnisse oder zwei Internet-Seiten "
    "und zeigt die Unterschiede nebeneinander.";
constexpr std::string_view kCredits2 =
    "Gebaut mit Qt. Die Adressen oben sind Platzhalter f\xC3\xBCr die Seiten des "
    "Produkts und seines Herstellers.";

QLabel* Place(QLabel* label, const DialogUnits& units, const DialogRect& rect) {
    label->setGeometry(units.Rect(rect));
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(UrlOpener& opener, const QCursor& handCursor, QWidget* parent)
    : QDialog(parent) {
    setFont(DialogFont(QStringLiteral("MS Sans Serif")));
    const DialogUnits units(font());
    setFixedSize(units.Size(235, 135));

    auto* icon = Place(new QLabel(this), units, {9, 8, 20, 20});
    icon->setPixmap(QApplication::windowIcon().pixmap(units.Size(20, 20)));
    Place(new QLabel(FromUtf8("Tandemix ") + FromUtf8(kVersionText), this), units,
          {40, 12, 119, 8});
    Place(new QLabel(FromUtf8(kMakerNotice), this), units, {40, 25, 178, 8});
    for (const auto& [text, rect] : {std::pair{kCredits1, DialogRect{17, 54, 185, 30}},
                                     std::pair{kCredits2, DialogRect{18, 86, 194, 39}}}) {
        auto* credits = Place(new QLabel(FromUtf8(text), this), units, rect);
        credits->setWordWrap(true);
        credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto* product = new CStaticLink(FromUtf8(kProductAddress), opener, handCursor, this);
    product->setProperty(kControlIdProperty, kProductLinkId);
    Place(product, units, {18, 40, 56, 8});
    auto* maker = new CStaticLink(FromUtf8(kMakerAddress), opener, handCursor, this);
    maker->setProperty(kControlIdProperty, kMakerLinkId);
    Place(maker, units, {100, 40, 72, 8});
    // The addresses are longer than their boxes in dialog units: both are shown whole,
    // the second one right after the first.
    product->adjustSize();
    maker->adjustSize();
    maker->move(std::max(maker->x(), product->geometry().right() + units.X(8)), maker->y());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect({178, 7, 50, 14}));
    ok->setDefault(true);
    ok->setProperty(kControlIdProperty, 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(FromUtf8(messages::kAboutTitle));
    FitCaptions(*this);
}

CStaticLink* CAboutDlg::Link(int id) const {
    for (auto* link : findChildren<CStaticLink*>()) {
        if (link->property(kControlIdProperty).toInt() == id) {
            return link;
        }
    }
    return nullptr;
}

}  // namespace tandemix::app
