#pragma once

#include <QString>
#include <string>
#include <string_view>

// Conversions at the edge between Qt's texts and the engine's byte strings. Fixed texts
// are UTF-8; paths and typed inputs are in the system code page, which is the locale's.
namespace tandemix::app {

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToLocal(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace tandemix::app
