#include "app/WarningBoxSink.h"

#include <QMessageBox>

#include "app/AppMessages.h"
#include "app/QtText.h"

namespace tandemix::app {

void WarningBoxSink::Warn(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, FromUtf8(messages::kBoxTitle), FromUtf8(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace tandemix::app
