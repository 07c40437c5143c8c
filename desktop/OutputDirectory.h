#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/MessageSink.h"

namespace tandemix {

// What the search for an output directory reads from the process, gathered in one place
// so that tests can hand in folders of their own. Unset variables are empty.
struct OutputDirectoryEnvironment {
    std::string home;                 // HOME
    std::string documentsDirectory;   // XDG_DOCUMENTS_DIR
    std::string configHome;           // XDG_CONFIG_HOME, holds user-dirs.dirs
    std::string dataHome;             // XDG_DATA_HOME
    std::string tempDirectory;        // TMPDIR
    std::string systemTemp = "/tmp";  // used when TMPDIR names no folder
    std::string workingDirectory;

    static OutputDirectoryEnvironment FromProcess();
};

// The folder the report pages go to: the user's documents folder, else the per-user
// application data folder (both created when missing), else the temporary folder, else
// the working directory when a file can be written there. The path has no trailing
// separator unless it is the root.
//
// Where the temporary folder or the working directory can be written by other users, the
// pages go to a private folder of the user's own inside it ("tandemix-" and the user's
// number), made with mode 0700 when missing. Nothing, after a message, when all of them
// fail or when that private folder is there but not the user's own 0700 folder.
std::optional<std::string> FindOutputDirectory(const OutputDirectoryEnvironment& env,
                                               MessageSink& messages);

namespace messages {

inline constexpr std::string_view kNoOutputDirectory =
    "Tandemix hat kein Verzeichnis gefunden, um die Ergebnisse dort abzuspeichern.\n"
    "Beispiel: Verzeichnis \"Eigene Dateien\".\nVorgang wird abgebrochen.";

inline std::string NotAPrivateFolder(std::string_view folder) {
    std::string text = "Das Verzeichnis ";
    return text.append(folder).append(
        " geh\xC3\xB6rt nicht Ihnen allein.\nIn einem gemeinsamen Verzeichnis legt Tandemix "
        "die Ergebnisse nur in einem eigenen Verzeichnis ab, das Ihnen geh\xC3\xB6rt, keine "
        "Verkn\xC3\xBCpfung ist und die Rechte 0700 hat.\nVorgang wird abgebrochen.");
}

}  // namespace messages

}  // namespace tandemix
