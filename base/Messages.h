#pragma once

#include <cstdint>
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
inline constexpr std::string_view kWebUnavailable =
    "Diese Ausgabe von Tandemix wurde ohne das Laden von Internet-Seiten gebaut.";
// The web module could not be loaded; the reason is the dynamic loader's.
inline std::string WebModuleMissing(std::string_view reason) {
    std::string text =
        "Die Web-Abfrage ist nicht verf\xC3\xBC"
        "gbar: ";
    return text.append(reason);
}
inline constexpr std::string_view kNotEnoughMemory =
    "Not enough memory! The program will be terminated.\nPlease close other programs before "
    "restarting Tandemix!";

// A missing input: the fixed sentence, and on a line of its own what was given and why it
// cannot be found.
inline std::string InputMissing(int input, std::string_view shown, std::string_view reason) {
    std::string text(input == 1 ? kInput1Missing : kInput2Missing);
    text.append("\n");
    if (!shown.empty()) {
        text.append(shown).append(": ");
    }
    return text.append(reason);
}

inline constexpr std::string_view kNothingGiven = "Es wurde nichts angegeben.";
inline constexpr std::string_view kPageNotFetched = "Die Seite konnte nicht geladen werden.";

inline std::string CannotOpenFile(std::string_view path, std::string_view reason) {
    std::string text = "Die Datei ";
    text.append(path).append(
        " kann nicht ge\xC3\xB6"
        "ffnet werden\n");
    return text.append(reason);
}

inline std::string CannotOpenFile(std::string_view path) {
    return CannotOpenFile(path, "Der Zugriff wurde verweigert.");
}

// The messages about one input name it as "Datei 2", "Verzeichnis 1" or "Internet-Seite 1",
// followed by its path or address.
inline std::string CannotReadInput(std::string_view input, std::string_view path,
                                   std::string_view reason) {
    std::string text(input);
    text.append(" kann nicht gelesen werden: ").append(path).append("\n");
    return text.append(reason);
}

inline std::string NotARegularFile(std::string_view input, std::string_view path) {
    std::string text(input);
    text.append(" ist keine regul\xC3\xA4re Datei: ").append(path).append("\n");
    return text.append("Pipes, Ger\xC3\xA4te und Sockets werden nicht verglichen.");
}

// "<input><what>: <path>" and on a line of its own the limit, "<most> <unit>".
inline std::string OverLimit(std::string_view input, std::string_view what, std::string_view path,
                             std::uint64_t most, std::string_view unit) {
    std::string text(input);
    text.append(what).append(": ").append(path).append("\nVerglichen werden h\xC3\xB6");
    return text.append("chstens ")
        .append(std::to_string(most))
        .append(" ")
        .append(unit)
        .append(".");
}

inline std::string InputTooLarge(std::string_view input, std::string_view path,
                                 std::uint64_t mostBytes) {
    return OverLimit(input, " ist zu gro\xC3\x9F", path, mostBytes, "Bytes");
}

inline std::string TooManyLines(std::string_view input, std::string_view path,
                                std::uint64_t mostLines) {
    return OverLimit(input, " hat zu viele Zeilen", path, mostLines, "Zeilen");
}

// Said once while a command waits for another one that writes into the same folder.
inline std::string WaitingForFolder(std::string_view folder) {
    std::string text = "Warte auf das Verzeichnis ";
    return text.append(folder).append(": ein anderer Vergleich schreibt gerade dorthin.");
}

// The second line for a lock file that is a link, a folder, a device or a pipe.
inline constexpr std::string_view kLockNotARegularFile =
    "Sie ist keine regul\xC3\xA4re Datei (Verkn\xC3\xBCpfung, Verzeichnis oder Ger\xC3\xA4t).";

inline std::string NotEnoughMemoryForBytes(std::uint64_t bytes) {
    return "Nicht genug Arbeitsspeicher f\xC3\xBCr " + std::to_string(bytes) + " Bytes";
}

inline std::string NotEnoughMemoryForLines(std::uint64_t lines) {
    return "Nicht genug Arbeitsspeicher f\xC3\xBCr " + std::to_string(lines) + " Zeilen";
}

}  // namespace tandemix::messages
