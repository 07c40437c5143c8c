#include "folders/TreeEntry.h"

#include <algorithm>

namespace tandemix {

bool PathBefore(std::string_view a, std::string_view b) {
    const auto [atA, atB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (atA == a.end() || atB == b.end()) {
        return atA == a.end() && atB != b.end();
    }
    // The name that ends first comes first, whatever byte follows in the other.
    if (*atA == '/' || *atB == '/') {
        return *atA == '/';
    }
    return static_cast<unsigned char>(*atA) < static_cast<unsigned char>(*atB);
}

bool IsOwnDifference(const TreeEntry& entry) {
    if (entry.status == EntryStatus::Equal || entry.status == EntryStatus::EqualUnderOptions ||
        entry.insideOneSided) {
        return false;
    }
    // A folder on both sides only gathers the differences below it.
    return !(entry.status == EntryStatus::Changed && entry.sides[0].kind == EntryKind::Folder);
}

}  // namespace tandemix
