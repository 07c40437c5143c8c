#include "diff/DifferenceEngine.h"

#include "base/SideBySide.h"
#include "document/LineMark.h"

#include <algorithm>

namespace tandemix {
namespace {

using enum LineMark;

class RowWriter {
public:
    RowWriter(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
              TextDocument& result2)
        : input1_(input1), input2_(input2), result1_(result1), result2_(result2) {}

    void Pair(LineIndex line1, LineMark mark1, LineIndex line2, LineMark mark2) {
        result1_.AddMarkedLine(input1_.GetLineText(line1), mark1, input1_.GetSourceLine(line1));
        result2_.AddMarkedLine(input2_.GetLineText(line2), mark2, input2_.GetSourceLine(line2));
    }
    void Deleted(LineIndex from, LineIndex to) {
        for (LineIndex line = from; line < to; ++line) {
            result1_.AddMarkedLine(input1_.GetLineText(line), MarkDeleted,
                                   input1_.GetSourceLine(line));
            result2_.AddEmptyLine();
        }
    }
    void Added(LineIndex from, LineIndex to) {
        for (LineIndex line = from; line < to; ++line) {
            result1_.AddEmptyLine();
            result2_.AddMarkedLine(input2_.GetLineText(line), MarkAdded,
                                   input2_.GetSourceLine(line));
        }
    }

private:
    const TextDocument& input1_;
    const TextDocument& input2_;
    TextDocument& result1_;
    TextDocument& result2_;
};

}  // namespace

void ComputeDifferences(TextDocument& input1, TextDocument& input2, TextDocument& result1,
                        TextDocument& result2) {
    result1.SetName(input1.GetName());
    result2.SetName(input2.GetName());
    // The rows are the inputs' own texts: hold them instead of copying them.
    result1.ShareTextOf(input1);
    result2.ShareTextOf(input2);

    RowWriter rows(input1, input2, result1, result2);
    const LineIndex count1 = input1.GetLineCount();
    const LineIndex count2 = input2.GetLineCount();
    // Similar inputs give about as many rows as the longer one has lines.
    const LineIndex expectedRows = std::max(count1, count2) + std::max(count1, count2) / 16;
    result1.ReserveLines(expectedRows);
    result2.ReserveLines(expectedRows);
    LineIndex i = 0;
    LineIndex j = 0;
    // Equal leading lines need no search; the first pair that differs needs both search
    // structures, which are then built side by side.
    for (; i < count1 && j < count2 && input1.LineMatches(i, input2, j); ++i, ++j) {
        rows.Pair(i, MarkUnchanged, j, MarkUnchanged);
    }
    if (i < count1 && j < count2) {
        RunSideBySide([&] { input1.PrepareSearch(); }, [&] { input2.PrepareSearch(); });
    }
    while (i < count1) {
        if (j == count2) {
            rows.Deleted(i, count1);
            i = count1;
            break;
        }
        LineIndex k = j;
        const bool foundIn2 = input1.FindLine(i, input2, k);
        if (foundIn2 && k == j) {
            rows.Pair(i++, MarkUnchanged, j++, MarkUnchanged);
            continue;
        }
        LineIndex m = i;
        const bool foundIn1 = input2.FindLine(j, input1, m);
        // Both current lines recur: the nearer found position decides (on a tie, input 2
        // is taken to have extra lines). The positions are compared as they are, an
        // index of input 1 against an index of input 2.
        if (foundIn1 && (!foundIn2 || m < k)) {
            rows.Deleted(i, m);
            i = m;
        } else if (foundIn2) {
            rows.Added(j, k);
            rows.Pair(i++, MarkUnchanged, k, MarkUnchanged);
            j = k + 1;
        } else {
            rows.Pair(i++, MarkChanged, j++, MarkChanged);
        }
    }
    rows.Added(j, count2);
}

}  // namespace tandemix
