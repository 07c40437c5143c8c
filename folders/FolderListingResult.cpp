#include "folders/FolderListingResult.h"

namespace tandemix {
namespace {

struct Counted {
    std::uint64_t count;
    const char* one;
    const char* many;
    const char* what;
};

}  // namespace

std::vector<std::string> FolderListingNotes(const FolderListingResult& result, int input) {
    const std::string prefix = "Hinweis: Verzeichnis " + std::to_string(input) + ": ";
    // UTF-8, as all the texts the user reads.
    const Counted counted[] = {
        {result.noPermission, "Eintrag", "Eintr\xC3\xA4ge", " ausgelassen (keine Leserechte)"},
        {result.brokenLinks, "Eintrag", "Eintr\xC3\xA4ge",
         " ausgelassen (Verkn\xC3\xBCpfung ohne Ziel)"},
        {result.otherFailures, "Eintrag", "Eintr\xC3\xA4ge", " ausgelassen (nicht lesbar)"},
        {result.linksNotFollowed, "Verkn\xC3\xBCpfung", "Verkn\xC3\xBCpfungen",
         " auf Verzeichnisse nicht verfolgt (schon aufgef\xC3\xBChrt oder \xC3\xBC"
         "bergeordnet)"},
        {result.unreadableFiles, "Datei", "Dateien",
         " nicht lesbar, als \"unlesbar\" aufgef\xC3\xBChrt"},
    };
    std::vector<std::string> notes;
    for (const Counted& item : counted) {
        if (item.count > 0) {
            notes.push_back(prefix + std::to_string(item.count) + " " +
                            (item.count == 1 ? item.one : item.many) + item.what);
        }
    }
    if (result.stoppedAfter) {
        notes.push_back(prefix + "Auflistung nach " + std::to_string(*result.stoppedAfter) +
                        " Eintr\xC3\xA4gen abgebrochen (Obergrenze)");
    }
    return notes;
}

}  // namespace tandemix
