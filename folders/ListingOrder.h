#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "base/AsciiCase.h"

namespace tandemix {

enum class LetterCase { Folded, Kept };

// Only A to Z are folded so that the order does not depend on the locale; all other bytes
// compare as unsigned values.
inline int CompareListingTexts(std::string_view a, std::string_view b, LetterCase letterCase) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (letterCase == LetterCase::Folded) {
            x = AsciiLower(x);
            y = AsciiLower(y);
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Ascending; names equal after folding are ordered by their raw bytes, so the order never
// depends on the order the file system hands the entries out.
inline bool NameBefore(std::string_view a, std::string_view b) {
    const int folded = CompareListingTexts(a, b, LetterCase::Folded);
    return folded != 0 ? folded < 0 : CompareListingTexts(a, b, LetterCase::Kept) < 0;
}

}  // namespace tandemix
