#pragma once

#include <QCursor>
#include <QDialog>

#include "app/StaticLink.h"

namespace tandemix::app {

class CStaticLink;

// The About box: icon, name and version, the maker's notice, credits and two links.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kProductLinkId = 1023;
    static constexpr int kMakerLinkId = 1024;

    CAboutDlg(UrlOpener& opener, const QCursor& handCursor, QWidget* parent = nullptr);

    CStaticLink* Link(int id) const;
};

}  // namespace tandemix::app
