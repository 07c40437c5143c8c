#pragma once

#include <QCoreApplication>
#include <QUrl>
#include <QWebEngineView>
#include <string>

namespace tandemix::app {

// Must run before the application object exists: the web engine shares OpenGL contexts
// with the widgets, and its sandbox cannot work for root, where the engine would refuse to
// start. For root it turns the sandbox off and says so on stderr; everyone else keeps it.
void PrepareWebEngine();

// The window's lower pane as the window uses it: a widget that navigates to addresses.
// Window tests replace it by a recorder, so that they need no web engine.
class HelpPane {
public:
    virtual ~HelpPane() = default;
    virtual QWidget* Widget() = 0;
    virtual void Navigate(const std::string& address) = 0;
};

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
