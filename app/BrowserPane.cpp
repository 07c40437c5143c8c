#include "app/BrowserPane.h"

#include <unistd.h>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <cstdio>

#include "app/ProductResources.h"
#include "app/QtText.h"

namespace tandemix::app {
namespace {

constexpr const char* kSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";

// Run in every frame before the page's own scripts, it gives pages their external object:
// a name that begins with "xxy" (width-insensitive) reads as "Wibble", every other name as
// undefined. Only the first three characters decide, so "xxy" and "xxyyzz" both answer;
// NFKC folds full-width letters to their narrow forms.
QString ExternalObjectScript() {
    return QStringLiteral(R"JS((function () {
  var answers = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') { return undefined; }
      return name.slice(0, 3).normalize('NFKC') === 'xxy' ? 'Wibble' : undefined;
    }
  });
  try {
    Object.defineProperty(window, 'external',
                          { value: answers, configurable: true, writable: false });
  } catch (e) {}
})();)JS");
}

}  // namespace

void PrepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // A variable the user set is their choice and needs no warning.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty(kSandboxVariable)) {
        qputenv(kSandboxVariable, "1");
        std::fputs("Warnung: Als root gestartet: die Web-Anzeige l\u00e4uft ohne Sandbox.\n",
                   stderr);
    }
}

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
