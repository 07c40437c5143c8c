#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

// The main window's controls: their numeric identifiers, the table they are made from, the
// dialog units that place them, and the interface by which the window's rules read and set
// them.
namespace tandemix::app {

// Code and tests address controls by these numbers; each widget carries its number in the
// property "controlId".
enum ControlId : int {
    kIdCancel = 2,
    kIdInput1 = 1000,
    kIdBrowse1 = 1001,
    kIdInput2 = 1002,
    kIdBrowse2 = 1003,
    kIdCaseSensitive = 1004,
    kIdIndent = 1005,
    kIdCompare = 1006,
    kIdLineBreakAfterEachTag = 1007,
    kIdDeleteAllTags = 1008,
    kIdShowLineNumbers = 1009,
    kIdHelp = 1010,
    kIdAbout = 1011,
    kIdKeepEmptyLines = 1012,
    kIdFollowRedirects = 1014,
    kIdMakerLink = 1017,
    kIdBrowserPane = 1018,
    kIdHta = 1022,
    kIdHtml = 1023,
    kIdCompareLabel = 1026,
    kIdGeneralOptions = 1027,
    kIdHtmlOptions = 1028,
    kIdOutputOptions = 1029,
    kIdAdvanced = 1030,
    kIdFiles = 3001,
    kIdFolders = 3002,
    kIdWebPages = 3003,
    kIdNone = -1,
};

inline constexpr const char* kControlIdProperty = "controlId";

enum class ControlKind {
    Label,
    RadioButton,
    CheckBox,
    Edit,
    PushButton,
    DefaultButton,
    GroupFrame,
    Link,
    Browser,
    Picture
};

enum class TabStop { Yes, No };

// A rectangle in dialog units: the font-independent measure of the window's layout.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlEntry {
    int id = kIdNone;
    ControlKind kind = ControlKind::Label;
    DialogRect rect;
    std::string_view resourceCaption;  // English; "&" marks the mnemonic
    std::string_view germanCaption;    // UTF-8; empty keeps the resource caption
    TabStop tabStop = TabStop::No;
};

// The main window's controls in tab order.
std::span<const ControlEntry> MainWindowControls();

// The window's client size in dialog units.
inline constexpr int kMainWindowWidthDu = 384;
inline constexpr int kMainWindowHeightDu = 278;

// The dialog font: the named family where the system has it, else a sans font, 8 points.
QFont DialogFont(const QString& family);

// The width in pixels a control needs to show its caption whole: the text plus a check
// box's or radio button's mark, a button's margins or a frame's inset. 0 for a control
// without a caption to measure: edits, pictures and wrapped texts.
int CaptionWidth(const QWidget& control);

// The captions' font may shrink to this size, and no further, to fit the boxes.
inline constexpr qreal kSmallestCaptionPoints = 6.0;

// Gives the window's controls the largest size of the window's font, in half points, at
// which every caption fits its box. The boxes keep the places and sizes their dialog units
// gave them: the units come from the window's font, captions at that size can be wider than
// the boxes made for them, and a check box's mark takes as many pixels at any size.
void FitCaptions(QWidget& window);

// Converts dialog units to pixels with the metrics of a dialog font: a horizontal unit is
// a quarter of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight)
        : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

    int X(int du) const;
    int Y(int du) const;
    QRect Rect(const DialogRect& rect) const;
    QSize Size(int widthDu, int heightDu) const;

private:
    int averageCharWidth_ = 1;
    int charHeight_ = 1;
};

// The window's controls as the rules see them: addressed by identifier, texts as byte
// strings in the system code page.
class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
};

// Makes the widget of a control that is not a plain Qt control (link, browser, picture).
using CustomWidgetMaker = std::function<QWidget*(const ControlEntry& control, QWidget* parent)>;

// The controls as widgets, made from the control table and placed in dialog units. Each
// widget is owned by the window and carries its identifier as "controlId".
class ControlWidgets final : public DialogControls {
public:
    ControlWidgets(QWidget& window, const DialogUnits& units, const CustomWidgetMaker& custom);

    // The English captions are replaced by the German ones when the window opens.
    void SetGermanCaptions();

    QWidget* Widget(int id) const;

    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsEnabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;

private:
    std::map<int, QWidget*> widgets_;
};

}  // namespace tandemix::app
