#pragma once

#include <QPointer>
#include <QWidget>

#include "base/MessageSink.h"

namespace tandemix::app {

// Shows each message as a modal warning box titled "Tandemix" with an OK button.
class WarningBoxSink final : public MessageSink {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Warn(std::string_view text) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace tandemix::app
