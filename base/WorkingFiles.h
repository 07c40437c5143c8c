#pragma once

#include <string_view>

namespace tandemix {

// The files the program keeps in an output folder while it works there: the folder's lock
// and the pages (and the old pages kept for an undo) not yet in place. They belong to no
// comparison, so folder listings leave them out.
inline constexpr std::string_view kLockFileName = ".~tandemix.lock";
inline constexpr std::string_view kPartPrefix = ".~tandemix-part-";

inline bool IsWorkingFileName(std::string_view name) {
    return name == kLockFileName || name.starts_with(kPartPrefix);
}

}  // namespace tandemix
