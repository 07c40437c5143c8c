#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <string>

namespace tandemix::app {

// Opens a web address with the desktop's browser; tests replace it by a recorder.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // True when the desktop took the address.
    virtual bool Open(const std::string& address) = 0;
};

class DesktopUrlOpener final : public UrlOpener {
public:
    bool Open(const std::string& address) override;
};

// A text that looks and acts like a hyperlink: blue and underlined, purple once opened,
// with the hand cursor; a click opens its address with the desktop's browser and beeps
// when that fails.
class CStaticLink final : public QLabel {
    Q_OBJECT
public:
    static QColor UnvisitedColour() { return {0, 0, 255}; }
    static QColor VisitedColour() { return {128, 0, 128}; }

    CStaticLink(const QString& caption, UrlOpener& opener, const QCursor& handCursor,
                QWidget* parent = nullptr);

    // The address to open; empty opens the caption.
    void SetLink(std::string link) { link_ = std::move(link); }
    bool IsVisited() const { return visited_; }
    // The colour the text is painted in; invalid when the control shows a picture.
    QColor TextColour() const;

    void Open();

signals:
    void Opened();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyLinkLook();

    UrlOpener& opener_;
    std::string link_;
    bool visited_ = false;
};

}  // namespace tandemix::app
