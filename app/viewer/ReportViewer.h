#pragma once

#include <QString>
#include <QWebEngineView>

namespace tandemix::app {

// The report viewer: shows a container page with its three frames and lets the local
// pages script one another, as the report's controls need.
class ReportViewer final : public QWebEngineView {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget* parent = nullptr);

    void OpenContainer(const QString& path);
};

}  // namespace tandemix::app
