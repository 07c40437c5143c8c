#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "diff/LineClasses.h"
#include "document/LineIndex.h"

namespace tandemix {

// The outcome of a search: which lines of each input are not on the common subsequence it
// found. The k-th kept line of input 1 pairs with the k-th kept line of input 2.
struct EditScript {
    // changed[side][line] is 1 for a deleted line of input 1 or an added line of input 2.
    std::array<std::vector<std::uint8_t>, kInputCount> changed;
    // How often the search took a good-enough split at its cost cutoff; 0 means the script
    // is a shortest one.
    LineIndex cutoffSplits = 0;

    // The lines touched: every deleted and every added line, and both lines of a changed
    // pair.
    LineIndex Length() const {
        return std::count(changed[Input1].begin(), changed[Input1].end(), 1) +
               std::count(changed[Input2].begin(), changed[Input2].end(), 1);
    }
};

}  // namespace tandemix
