#include "app/DialogControls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/ProductResources.h"
#include "app/QtText.h"

namespace tandemix::app {
namespace {

using K = ControlKind;

constexpr std::array kControls = {
    ControlEntry{kIdCompareLabel, K::Label, {6, 8, 40, 8}, "Compare", "Vergleiche"},
    ControlEntry{kIdFiles, K::RadioButton, {45, 8, 38, 10}, "&Files", "Dateien", TabStop::Yes},
    ControlEntry{
        kIdFolders, K::RadioButton, {89, 8, 53, 10}, "Folde&rs", "Verzeichnisse", TabStop::Yes},
    ControlEntry{kIdWebPages,
                 K::RadioButton,
                 {148, 8, 61, 10},
                 "&Web Pages",
                 "Internet-Seiten",
                 TabStop::Yes},
    ControlEntry{kIdFollowRedirects,
                 K::CheckBox,
                 {219, 8, 85, 10},
                 "Follow A&uto-Redirects",
                 "Redirects folgen",
                 TabStop::Yes},
    ControlEntry{kIdInput1, K::Edit, {14, 21, 344, 12}, "", "", TabStop::Yes},
    ControlEntry{kIdBrowse1, K::PushButton, {362, 21, 15, 12}, "...", "", TabStop::Yes},
    ControlEntry{kIdInput2, K::Edit, {14, 39, 344, 12}, "", "", TabStop::Yes},
    ControlEntry{kIdBrowse2, K::PushButton, {362, 39, 15, 12}, "...", "", TabStop::Yes},
    ControlEntry{kIdAbout, K::PushButton, {138, 58, 56, 14}, "&About", "Info", TabStop::Yes},
    ControlEntry{kIdHelp, K::PushButton, {199, 58, 56, 14}, "&Help", "Hilfe", TabStop::Yes},
    ControlEntry{kIdCancel, K::PushButton, {260, 58, 56, 14}, "&Close", "Beenden", TabStop::Yes},
    ControlEntry{
        kIdCompare, K::DefaultButton, {321, 58, 56, 14}, "C&ompare", "Vergleichen", TabStop::Yes},
    ControlEntry{kIdShowLineNumbers,
                 K::CheckBox,
                 {13, 71, 90, 10},
                 "&Show Line Numbers",
                 "Zeilennummer anzeigen",
                 TabStop::Yes},
    ControlEntry{kIdCaseSensitive,
                 K::CheckBox,
                 {13, 83, 115, 11},
                 "Cas&e Sensitive",
                 "Gro\xC3\x9F-/Kleinschreibung beachten",
                 TabStop::Yes},
    ControlEntry{kIdIndent,
                 K::CheckBox,
                 {13, 96, 61, 11},
                 "&Indent",
                 "Einr\xC3\xBC"
                 "cken",
                 TabStop::Yes},
    ControlEntry{kIdKeepEmptyLines,
                 K::CheckBox,
                 {13, 109, 96, 11},
                 "&Keep Empty Lines",
                 "Leere Zeilen erhalten",
                 TabStop::Yes},
    ControlEntry{kIdLineBreakAfterEachTag,
                 K::CheckBox,
                 {146, 92, 113, 10},
                 "&Line Brake After Each Tag",
                 "Zeilenumbruch nach jedem Tag",
                 TabStop::Yes},
    ControlEntry{kIdDeleteAllTags,
                 K::CheckBox,
                 {146, 105, 86, 10},
                 "&Delete All HTML Tags",
                 "Alle Tags l\xC3\xB6schen",
                 TabStop::Yes},
    ControlEntry{kIdHta, K::RadioButton, {284, 92, 29, 10}, "H&TA", ""},
    ControlEntry{kIdHtml, K::RadioButton, {284, 106, 33, 10}, "HT&ML", ""},
    // The opt-in settings of the advanced dialog, in the free right half of the output
    // options, so that every other control keeps its place.
    ControlEntry{kIdAdvanced,
                 K::PushButton,
                 {321, 104, 51, 14},
                 "Ad&vanced...",
                 "Erweitert\xE2\x80\xA6",
                 TabStop::Yes},
    ControlEntry{kIdGeneralOptions, K::GroupFrame, {6, 57, 125, 70}, "General Options", "Optionen"},
    ControlEntry{
        kIdHtmlOptions, K::GroupFrame, {138, 76, 123, 51}, "HTML Options", "HTML Optionen"},
    ControlEntry{kIdNone, K::Label, {5, 23, 8, 8}, "1:", ""},
    ControlEntry{kIdNone, K::Label, {5, 41, 8, 8}, "2:", ""},
    ControlEntry{kIdMakerLink, K::Link, {310, 5, 66, 12}, kMakerAddress, ""},
    ControlEntry{kIdBrowserPane, K::Browser, {5, 131, 374, 142}, "", ""},
    ControlEntry{kIdNone, K::Picture, {310, 3, 67, 16}, "", ""},
    ControlEntry{
        kIdOutputOptions, K::GroupFrame, {272, 76, 105, 51}, "Output Options", "Ausgabe-Optionen"},
};

QWidget* MakeWidget(const ControlEntry& control, QWidget& window, const CustomWidgetMaker& custom) {
    const QString caption = FromUtf8(control.resourceCaption);
    switch (control.kind) {
        case ControlKind::Label:
            return new QLabel(caption, &window);
        case ControlKind::RadioButton:
            return new QRadioButton(caption, &window);
        case ControlKind::CheckBox:
            return new QCheckBox(caption, &window);
        case ControlKind::Edit:
            return new QLineEdit(caption, &window);
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(caption, &window);
            // Enter always means the default button, whichever button has the focus.
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefaultButton);
            return button;
        }
        case ControlKind::GroupFrame:
            return new QGroupBox(caption, &window);
        case ControlKind::Link:
        case ControlKind::Browser:
        case ControlKind::Picture:
            return custom(control, &window);
    }
    return nullptr;
}

// Radio buttons that exclude each other; each group is owned by the window.
void Group(QWidget& window, const std::map<int, QWidget*>& widgets,
           std::initializer_list<int> ids) {
    auto* group = new QButtonGroup(&window);
    for (const int id : ids) {
        group->addButton(static_cast<QAbstractButton*>(widgets.at(id)), id);
    }
}

}  // namespace

std::span<const ControlEntry> MainWindowControls() {
    return kControls;
}

QFont DialogFont(const QString& family) {
    QFont font;
    if (QFontDatabase::families().contains(family)) {
        font.setFamily(family);
    } else {
        font.setStyleHint(QFont::SansSerif);
        font.setFamily(QStringLiteral("Sans Serif"));
    }
    font.setPointSize(8);
    return font;
}

int CaptionWidth(const QWidget& control) {
    const QFontMetrics metrics(control.font());
    const QStyle& style = *control.style();
    const auto textWidth = [&metrics](QString text) {
        // A mnemonic's "&" is not drawn.
        return metrics.horizontalAdvance(text.remove(QLatin1Char('&')));
    };
    if (qobject_cast<const QCheckBox*>(&control) != nullptr ||
        qobject_cast<const QRadioButton*>(&control) != nullptr) {
        return control.sizeHint().width();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        return textWidth(button->text()) + 2 * style.pixelMetric(QStyle::PM_ButtonMargin);
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        return textWidth(frame->title()) + 2 * metrics.averageCharWidth();
    }
    const auto* label = qobject_cast<const QLabel*>(&control);
    const bool measured = label != nullptr && !label->text().isEmpty() && !label->wordWrap();
    return measured ? control.sizeHint().width() : 0;
}

void FitCaptions(QWidget& window) {
    QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    controls.removeIf([](const QWidget* control) { return CaptionWidth(*control) == 0; });
    QFont font = window.font();
    const auto fits = [&controls, &font] {
        for (QWidget* control : controls) {
            control->setFont(font);
            if (CaptionWidth(*control) > control->width()) {
                return false;
            }
        }
        return true;
    };
    while (!fits() && font.pointSizeF() - 0.5 >= kSmallestCaptionPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 Latin letters, rounded, is the width dialog layouts assume.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth_ = std::max(1, (letters / 26 + 1) / 2);
    charHeight_ = std::max(1, metrics.height());
}

int DialogUnits::X(int du) const {
    return static_cast<int>(std::lround(du * averageCharWidth_ / 4.0));
}

int DialogUnits::Y(int du) const {
    return static_cast<int>(std::lround(du * charHeight_ / 8.0));
}

QRect DialogUnits::Rect(const DialogRect& rect) const {
    return {X(rect.x), Y(rect.y), X(rect.width), Y(rect.height)};
}

QSize DialogUnits::Size(int widthDu, int heightDu) const {
    return {X(widthDu), Y(heightDu)};
}

ControlWidgets::ControlWidgets(QWidget& window, const DialogUnits& units,
                               const CustomWidgetMaker& custom) {
    std::vector<QWidget*> tabOrder;
    std::vector<QWidget*> zOrder;
    for (const ControlEntry& control : MainWindowControls()) {
        QWidget* widget = MakeWidget(control, window, custom);
        if (widget == nullptr) {
            continue;
        }
        widget->setGeometry(units.Rect(control.rect));
        widget->setProperty(kControlIdProperty, control.id);
        if (control.id != kIdNone) {
            widgets_[control.id] = widget;
        }
        if (control.tabStop == TabStop::Yes) {
            tabOrder.push_back(widget);
        } else if (control.kind == ControlKind::RadioButton) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        zOrder.push_back(widget);
    }
    // Controls earlier in the table lie on top, so that frames never cover their boxes.
    for (auto it = zOrder.rbegin(); it != zOrder.rend(); ++it) {
        (*it)->raise();
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    Group(window, widgets_, {kIdFiles, kIdFolders, kIdWebPages});
    Group(window, widgets_, {kIdHta, kIdHtml});
}

void ControlWidgets::SetGermanCaptions() {
    for (const ControlEntry& control : MainWindowControls()) {
        if (control.germanCaption.empty() || control.id == kIdNone) {
            continue;
        }
        const QString caption = FromUtf8(control.germanCaption);
        QWidget* widget = Widget(control.id);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(caption);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(caption);
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            frame->setTitle(caption);
        }
    }
}

QWidget* ControlWidgets::Widget(int id) const {
    const auto found = widgets_.find(id);
    return found == widgets_.end() ? nullptr : found->second;
}

bool ControlWidgets::IsChecked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(Widget(id));
    return button != nullptr && button->isChecked();
}

void ControlWidgets::SetChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Widget(id))) {
        button->setChecked(checked);
    }
}

bool ControlWidgets::IsEnabled(int id) const {
    const QWidget* widget = Widget(id);
    return widget != nullptr && widget->isEnabled();
}

void ControlWidgets::SetEnabled(int id, bool enabled) {
    if (QWidget* widget = Widget(id)) {
        widget->setEnabled(enabled);
    }
}

std::string ControlWidgets::Text(int id) const {
    if (const auto* edit = qobject_cast<const QLineEdit*>(Widget(id))) {
        return ToLocal(edit->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(Widget(id))) {
        return ToLocal(button->text());
    }
    if (const auto* label = qobject_cast<const QLabel*>(Widget(id))) {
        return ToLocal(label->text());
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(Widget(id))) {
        return ToLocal(frame->title());
    }
    return {};
}

void ControlWidgets::SetText(int id, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(Widget(id))) {
        edit->setText(FromLocal(text));
    }
}

}  // namespace tandemix::app
