#pragma once

// What every finished pair of row lists must satisfy, whatever the inputs: the suites and
// the fuzz harnesses check aligned rows against it.

#include <string>

#include "support/LiteralAlignment.h"

namespace tandemix::testing {

// The first invariant that the rows break, described; empty when they keep them all. Both
// sides are equally long; the rows of each side that are not placeholders are its input's
// lines, each once, in order and as stored; every row pair is unchanged against unchanged
// (with equal matching texts), changed against changed, deleted against a placeholder or a
// placeholder against added; and the row count is the two line counts less the unchanged
// and the changed pairs.
inline std::string BrokenRowInvariant(const TextDocument& input1, const TextDocument& input2,
                                      const Alignment& rows) {
    if (rows.side1.size() != rows.side2.size()) {
        return "sides of " + std::to_string(rows.side1.size()) + " and " +
               std::to_string(rows.side2.size()) + " rows";
    }
    LineIndex next1 = 0;
    LineIndex next2 = 0;
    LineIndex pairs = 0;
    for (std::size_t r = 0; r < rows.side1.size(); ++r) {
        const Row& row1 = rows.side1[r];
        const Row& row2 = rows.side2[r];
        const std::string at = " in row " + std::to_string(r);
        const auto shows = [&](const Row& row, const TextDocument& input, LineIndex& next) {
            return next < input.GetLineCount() && row.text == input.GetLineText(next++);
        };
        if (row1.mark == 0 && row2.mark == 0) {
            if (!shows(row1, input1, next1) || !shows(row2, input2, next2)) {
                return "unchanged pair out of order" + at;
            }
            if (input1.GetMatchText(next1 - 1) != input2.GetMatchText(next2 - 1)) {
                return "unchanged pair of unequal lines" + at;
            }
            ++pairs;
        } else if (row1.mark == 1 && row2.mark == 1) {
            if (!shows(row1, input1, next1) || !shows(row2, input2, next2)) {
                return "changed pair out of order" + at;
            }
            ++pairs;
        } else if (row1.mark == 3 && row2.mark == 0) {
            if (!shows(row1, input1, next1) || !row2.text.empty()) {
                return "deleted row out of order or opposite text" + at;
            }
        } else if (row1.mark == 0 && row2.mark == 2) {
            if (!shows(row2, input2, next2) || !row1.text.empty()) {
                return "added row out of order or opposite text" + at;
            }
        } else {
            return "pair of marks " + std::to_string(row1.mark) + " and " +
                   std::to_string(row2.mark) + at;
        }
    }
    if (next1 != input1.GetLineCount() || next2 != input2.GetLineCount()) {
        return "rows show " + std::to_string(next1) + " and " + std::to_string(next2) + " of " +
               std::to_string(input1.GetLineCount()) + " and " +
               std::to_string(input2.GetLineCount()) + " lines";
    }
    const LineIndex expected = input1.GetLineCount() + input2.GetLineCount() - pairs;
    if (static_cast<LineIndex>(rows.side1.size()) != expected) {
        return std::to_string(rows.side1.size()) + " rows instead of " + std::to_string(expected);
    }
    return {};
}

}  // namespace tandemix::testing
