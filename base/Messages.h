#pragma once

#include <string>
#include <string_view>

// The texts the user reads, in German as the program speaks it, UTF-8 encoded.
namespace tandemix::messages {

inline constexpr std::string_view kInput1Missing =
    "Datei / Verzeichnis / Internet-Seite 1 existiert nicht oder konnte nicht ge\xC3\xB6"
    "ffnet "
    "werden!";
inline constexpr std::string_view kInput2Missing =
    "Datei / Verzeichnis / Internet-Seite 2 existiert nicht oder konnte nicht ge\xC3\xB6"
    "ffnet "
    "werden!";
inline constexpr std::string_view kKindsDiffer =
    "Kann Datei / Verzeichnis / Internet-Seite 1 nicht mit Datei / Verzeichnis / "
    "Internet-Seite 2 vergleichen.\nEvtl. sind sie nicht vom selben Typ?";
inline constexpr std::string_view kNotEnoughMemory =
    "Not enough memory! The program will be terminated.\nPlease close other programs before "
    "restarting Tandemix!";

inline std::string CannotOpenFile(std::string_view path) {
    std::string text = "Die Datei ";
    text.append(path).append(
        " kann nicht ge\xC3\xB6"
        "ffnet werden\nDer Zugriff wurde verweigert.");
    return text;
}

}  // namespace tandemix::messages
