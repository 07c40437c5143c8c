#include "app/ControlWidgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "app/QtText.h"

namespace tandemix::app {
namespace {

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
