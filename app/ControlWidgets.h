#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "app/ControlTable.h"
#include "app/DialogControls.h"
#include "app/DialogUnits.h"

namespace tandemix::app {

// Makes the widget of a control that is not a plain Qt control (link, browser, picture).
using CustomWidgetMaker = std::function<QWidget*(const ControlEntry& control, QWidget* parent)>;

// The main window's controls as widgets, made from the control table and placed in dialog
// units. Each widget is owned by the window and carries its identifier as "controlId".
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
