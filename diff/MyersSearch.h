#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "diff/LineClasses.h"
#include "document/LineIndex.h"

namespace tandemix {

// Bounds on the work of a search. Both cut a split short at the point that got furthest,
// which costs at most 2 x (steps taken) lines more than the shortest script of its range,
// and so at most 2 x costCutoff per cut.
struct SearchLimits {
    // Every split of a range looks at most this many edit steps ahead from each end.
    LineIndex costCutoff = 1024;
    // At this many steps, and at each doubling of it, a split whose paths consume fewer
    // than 8 lines per step is cut short: the range differs throughout, and its cost would
    // grow with the square of the steps for little gain.
    LineIndex denseCutoff = 64;
};

// Finds a shortest edit script between two sequences of line classes with Myers' O(ND)
// search in linear space: the middle snake of each range splits it in two, until a range
// has lines on one side only. Sets changed[side][i] to 0 for the lines on the common
// subsequence and to 1 for the others; each span has the length of its sequence. Returns
// how often the cost cutoff chose a split.
LineIndex MarkShortestEdit(const std::array<std::span<const LineClass>, kInputCount>& sequences,
                           const SearchLimits& limits,
                           const std::array<std::span<std::uint8_t>, kInputCount>& changed);

}  // namespace tandemix
