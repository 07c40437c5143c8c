#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandemix {

// What a folder listing could not show, and why. None of it makes the listing fail: it
// shows everything else, and the front ends pass these on as notes.
struct FolderListingResult {
    bool listed = false;  // false only when nothing is left of the path
    // Entries left out, folders counted as one entry each.
    std::uint64_t noPermission = 0;
    std::uint64_t brokenLinks = 0;  // links that lead nowhere or round in a circle
    std::uint64_t otherFailures = 0;
    // Links to folders that enclose the listed folder, or to folders listed already.
    std::uint64_t linksNotFollowed = 0;
    // Files listed with "unlesbar" instead of a fingerprint.
    std::uint64_t unreadableFiles = 0;
    // The number of entries after which the limit ended the listing.
    std::optional<std::uint64_t> stoppedAfter;

    explicit operator bool() const { return listed; }
};

// One German line per kind of note, each beginning with "Hinweis: Verzeichnis <input>: ";
// none when the listing is complete.
std::vector<std::string> FolderListingNotes(const FolderListingResult& result, int input);

}  // namespace tandemix
