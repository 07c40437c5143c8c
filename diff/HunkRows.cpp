#include "diff/HunkRows.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "diff/HunkPairing.h"

namespace tandemix {
namespace {

using enum LineMark;

struct Hunk {
    LineIndex from1 = 0;
    LineIndex to1 = 0;
    LineIndex from2 = 0;
    LineIndex to2 = 0;
};

// The texts of lines [from, to) of an input, as they are compared.
std::vector<std::string> MatchTexts(const TextDocument& input, LineIndex from, LineIndex to) {
    std::vector<std::string> texts;
    for (LineIndex line = from; line < to; ++line) {
        texts.push_back(input.GetMatchText(line));
    }
    return texts;
}

void WriteHunk(const Hunk& hunk, const TextDocument& input1, const TextDocument& input2,
               RowWriter& rows) {
    const LineIndex deleted = hunk.to1 - hunk.from1;
    const LineIndex added = hunk.to2 - hunk.from2;
    const bool moreAdded = added >= deleted;
    const LineIndex shorter = std::min(deleted, added);
    const LineIndex longer = std::max(deleted, added);
    std::vector<std::size_t> partners(static_cast<std::size_t>(shorter));
    std::iota(partners.begin(), partners.end(), std::size_t{0});
    if (shorter > 0 && shorter < longer &&
        static_cast<std::size_t>(shorter * longer) <= kMaxWeighedPairs) {
        const std::vector<std::string> texts1 = MatchTexts(input1, hunk.from1, hunk.to1);
        const std::vector<std::string> texts2 = MatchTexts(input2, hunk.from2, hunk.to2);
        partners = moreAdded ? PairHunkLines(texts1, texts2) : PairHunkLines(texts2, texts1);
    }
    // The longer side in order; each line is paired or stands alone.
    std::size_t next = 0;
    for (LineIndex at = 0; at < longer; ++at) {
        if (next < partners.size() && partners[next] == static_cast<std::size_t>(at)) {
            const auto pairedAt = static_cast<LineIndex>(next++);
            const LineIndex line1 = hunk.from1 + (moreAdded ? pairedAt : at);
            const LineIndex line2 = hunk.from2 + (moreAdded ? at : pairedAt);
            // A script cut short at the search's cost cutoff may leave two equal lines in
            // a hunk; standing side by side, they are what they are.
            const LineMark mark =
                input1.LineMatches(line1, input2, line2) ? MarkUnchanged : MarkChanged;
            rows.Pair(line1, mark, line2, mark);
        } else if (moreAdded) {
            rows.Added(hunk.from2 + at, hunk.from2 + at + 1);
        } else {
            rows.Deleted(hunk.from1 + at, hunk.from1 + at + 1);
        }
    }
}

// The end of the run of changed lines that begins at `from`.
LineIndex EndOfChanged(const std::vector<std::uint8_t>& changed, LineIndex from) {
    const auto begin = changed.begin() + from;
    return from + (std::find(begin, changed.end(), 0) - begin);
}

}  // namespace

void WriteHunkRows(const EditScript& script, const TextDocument& input1, const TextDocument& input2,
                   RowWriter& rows) {
    const std::vector<std::uint8_t>& changed1 = script.changed[Input1];
    const std::vector<std::uint8_t>& changed2 = script.changed[Input2];
    const auto count1 = static_cast<LineIndex>(changed1.size());
    const auto count2 = static_cast<LineIndex>(changed2.size());
    LineIndex line1 = 0;
    LineIndex line2 = 0;
    while (line1 < count1 || line2 < count2) {
        if (line1 < count1 && line2 < count2 && changed1[line1] == 0 && changed2[line2] == 0) {
            rows.Pair(line1++, MarkUnchanged, line2++, MarkUnchanged);
            continue;
        }
        Hunk hunk{line1, EndOfChanged(changed1, line1), line2, EndOfChanged(changed2, line2)};
        if (hunk.to1 == hunk.from1 && hunk.to2 == hunk.from2) {
            // Kept lines left on one side only: a script that does not pair up. Showing
            // them as deleted or added keeps every line in the rows.
            (line1 < count1 ? hunk.to1 : hunk.to2) += 1;
        }
        WriteHunk(hunk, input1, input2, rows);
        line1 = hunk.to1;
        line2 = hunk.to2;
    }
}

}  // namespace tandemix
