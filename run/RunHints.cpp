#include "run/RunHints.h"

namespace tandemix {

bool ManyRowsDiffer(LineIndex rows, LineIndex differingRows) {
    constexpr LineIndex kFewestRows = 1000;
    return rows >= kFewestRows && differingRows > rows / 2;
}

std::vector<std::string> HintNotes(const RunHints& hints, const ChoiceNames& names) {
    std::vector<std::string> notes;
    if (hints.manyRowsDiffer) {
        notes.push_back(std::string("Hinweis: Viele Zeilen sind als verschieden markiert; ")
                            .append(names.minimalAlignment)
                            .append(" findet oft weniger Unterschiede."));
    }
    if (hints.resizedFilePairs > 0) {
        const bool one = hints.resizedFilePairs == 1;
        notes.push_back("Hinweis: " + std::to_string(hints.resizedFilePairs) +
                        (one ? " Datei mit gleichem Namen und gleicher Zeit unterscheidet"
                             : " Dateien mit gleichem Namen und gleicher Zeit unterscheiden") +
                        std::string(" sich in der Gr\xC3\xB6\xC3\x9F"
                                    "e; ")
                            .append(names.folderContents)
                            .append(" vergleicht nach Inhalt."));
    }
    return notes;
}

}  // namespace tandemix
