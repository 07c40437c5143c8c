#include "app/BrowserPane.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "app/ExternalObject.h"
#include "app/QtText.h"
#include "app/Resources.h"

namespace tandemix::app {

CWebBrowser2::CWebBrowser2(QWidget* parent) : QWebEngineView(parent) {
    LoadResources();
    // Prevent, not NoContextMenu: the window's own menu must not show over the pane either.
    setContextMenuPolicy(Qt::PreventContextMenu);
    QWebEngineScript external;
    external.setName(QStringLiteral("tandemix-external"));
    external.setSourceCode(ExternalObjectScript());
    external.setInjectionPoint(QWebEngineScript::DocumentCreation);
    external.setWorldId(QWebEngineScript::MainWorld);
    external.setRunsOnSubFrames(true);
    page()->scripts().insert(external);
    connect(this, &QWebEngineView::loadFinished, this, &CWebBrowser2::OnLoadFinished);
}

void CWebBrowser2::Navigate(const std::string& address) {
    load(QUrl(FromLocal(address)));
}

QUrl CWebBrowser2::OfflineHelpUrl() {
    return QUrl(QStringLiteral("qrc:/tandemix/hilfe.html"));
}

void CWebBrowser2::OnLoadFinished(bool ok) {
    // Users are often offline: the bundled page stands in, silently.
    if (!ok && url() != OfflineHelpUrl()) {
        load(OfflineHelpUrl());
    }
}

}  // namespace tandemix::app
