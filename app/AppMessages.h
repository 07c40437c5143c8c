#pragma once

#include <string_view>

// Texts the window shows beyond those of the engine, UTF-8 encoded.
namespace tandemix::app::messages {

inline constexpr std::string_view kBoxTitle = "Tandemix";
inline constexpr std::string_view kWindowTitle =
    "Tandemix - Dateien, Verzeichnisse und Internet-Seiten vergleichen";
inline constexpr std::string_view kAboutTitle =
    "Info \xC3\xBC"
    "ber Tandemix";
inline constexpr std::string_view kViewerTitle = "Tandemix Ergebnisse";
inline constexpr std::string_view kCompareOutOfMemory =
    "Nicht gen\xC3\xBCgend Arbeitsspeicher.\nDer Vergleich wurde abgebrochen.";
inline constexpr std::string_view kCompareFailed =
    "Der Vergleich wurde wegen eines Fehlers abgebrochen:\n";

}  // namespace tandemix::app::messages
