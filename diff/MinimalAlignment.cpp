#include "diff/MinimalAlignment.h"

#include <algorithm>
#include <span>
#include <utility>

#include "diff/HunkRows.h"
#include "diff/LineClasses.h"
#include "diff/RowWriter.h"

namespace tandemix {
namespace {

// The lines of both inputs that can take part in the search, as classes, with the line
// each stands for.
struct Candidates {
    std::array<std::vector<LineClass>, kInputCount> classes;
    std::array<std::vector<std::uint32_t>, kInputCount> lineOf;
};

// A line whose class never occurs in the other input can never be on a common
// subsequence, so leaving it out changes no answer. It does shrink the search, often to
// almost nothing: changed and inserted lines are mostly unique, and inputs that share no
// line at all cost linear time.
Candidates DiscardUnmatchable(LineClasses classes) {
    Candidates kept;
    for (const InputSide side : {Input1, Input2}) {
        const InputSide other = side == Input1 ? Input2 : Input1;
        const std::vector<LineClass>& ofLine = classes.ofLine[side];
        for (std::size_t line = 0; line < ofLine.size(); ++line) {
            if (classes.OccursIn(ofLine[line], other)) {
                kept.classes[side].push_back(ofLine[line]);
                kept.lineOf[side].push_back(static_cast<std::uint32_t>(line));
            }
        }
        std::vector<LineClass>().swap(classes.ofLine[side]);
    }
    return kept;
}

// Equal lines at the head and the tail are on a shortest script; they are kept without a
// search, which then sees only the part in between.
struct Middle {
    std::size_t head = 0;
    std::array<std::size_t, kInputCount> end = {0, 0};
};

Middle TrimCommonEnds(const Candidates& kept) {
    const std::vector<LineClass>& a = kept.classes[Input1];
    const std::vector<LineClass>& b = kept.classes[Input2];
    Middle middle;
    middle.end = {a.size(), b.size()};
    while (middle.head < a.size() && middle.head < b.size() && a[middle.head] == b[middle.head]) {
        ++middle.head;
    }
    while (middle.end[Input1] > middle.head && middle.end[Input2] > middle.head &&
           a[middle.end[Input1] - 1] == b[middle.end[Input2] - 1]) {
        --middle.end[Input1];
        --middle.end[Input2];
    }
    return middle;
}

}  // namespace

EditScript FindShortestEdit(const TextDocument& input1, const TextDocument& input2,
                            const SearchLimits& limits) {
    /* Classes: every line becomes an integer under the documents' own matching rule, so
     * that the search compares integers only. */
    LineClasses classes = ClassifyLines(input1, input2);

    /* Discard: lines whose class the other input lacks leave the search. */
    const Candidates kept = DiscardUnmatchable(std::move(classes));

    /* Trim: the common head and tail of what is left are kept as they are. */
    const Middle middle = TrimCommonEnds(kept);

    /* Search: Myers' search marks the lines of the middle part that a shortest edit script
     * deletes or adds; the head and tail stay unmarked. */
    std::array<std::vector<std::uint8_t>, kInputCount> keptChanged;
    std::array<std::span<const LineClass>, kInputCount> sequences;
    std::array<std::span<std::uint8_t>, kInputCount> searchChanged;
    for (const InputSide side : {Input1, Input2}) {
        keptChanged[side].assign(kept.classes[side].size(), 0);
        const std::size_t length = middle.end[side] - middle.head;
        sequences[side] = std::span(kept.classes[side]).subspan(middle.head, length);
        searchChanged[side] = std::span(keptChanged[side]).subspan(middle.head, length);
    }
    EditScript script;
    script.cutoffSplits = MarkShortestEdit(sequences, limits, searchChanged);

    // Back to the inputs' own lines: whatever was discarded is deleted or added.
    const std::array<LineIndex, kInputCount> counts = {input1.GetLineCount(),
                                                       input2.GetLineCount()};
    for (const InputSide side : {Input1, Input2}) {
        script.changed[side].assign(static_cast<std::size_t>(counts[side]), 1);
        for (std::size_t at = 0; at < keptChanged[side].size(); ++at) {
            if (keptChanged[side][at] == 0) {
                script.changed[side][kept.lineOf[side][at]] = 0;
            }
        }
    }
    return script;
}

void AlignMinimal(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
                  TextDocument& result2, const SearchLimits& limits) {
    const EditScript script = FindShortestEdit(input1, input2, limits);

    /* Rows: kept lines stand side by side, and each hunk of the script becomes changed
     * pairs and deleted or added rows. The search formats nothing; this is the only stage
     * that writes. */
    RowWriter rows(input1, input2, result1, result2);
    WriteHunkRows(script, input1, input2, rows);
}

}  // namespace tandemix
