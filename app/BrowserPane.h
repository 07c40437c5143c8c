#pragma once

#include <QUrl>
#include <QWebEngineView>

#include "app/HelpPane.h"

namespace tandemix::app {

// The embedded browser of the main window: no context menu, no border, the external
// object for pages' scripts, and the bundled help page whenever a page cannot be loaded.
class CWebBrowser2 final : public QWebEngineView, public HelpPane {
    Q_OBJECT
public:
    explicit CWebBrowser2(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    void Navigate(const std::string& address) override;

    static QUrl OfflineHelpUrl();

private:
    void OnLoadFinished(bool ok);
};

}  // namespace tandemix::app
