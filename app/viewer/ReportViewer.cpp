#include "app/viewer/ReportViewer.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineSettings>

#include "app/ProductResources.h"
#include "app/QtText.h"

namespace tandemix::app {

ReportViewer::ReportViewer(QWidget* parent) : QWebEngineView(parent) {
    setWindowTitle(FromUtf8(messages::kViewerTitle));
    QWebEngineSettings* settings = page()->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
}

void ReportViewer::OpenContainer(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    // The engine would show an ".hta" as plain text: the page is handed over as HTML,
    // with its own address, so that the frames load beside it and share its origin.
    if (!file.open(QIODevice::ReadOnly)) {
        load(url);
        return;
    }
    setContent(file.readAll(), QStringLiteral("text/html"), url);
}

}  // namespace tandemix::app
