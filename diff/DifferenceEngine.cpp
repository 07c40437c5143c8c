#include "diff/DifferenceEngine.h"

#include "base/SideBySide.h"
#include "diff/IgnoredLines.h"
#include "diff/LineSearch.h"
#include "diff/MinimalAlignment.h"
#include "diff/RowWriter.h"
#include "document/LineMark.h"

#include <algorithm>
#include <optional>

namespace tandemix {

using enum LineMark;

namespace {

void AlignGreedy(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
                 TextDocument& result2) {
    RowWriter rows(input1, input2, result1, result2);
    const LineIndex count1 = input1.GetLineCount();
    const LineIndex count2 = input2.GetLineCount();
    LineIndex i = 0;
    LineIndex j = 0;
    // Equal leading lines need no search; the first pair that differs needs both searches,
    // whose indexes are then built side by side.
    for (; i < count1 && j < count2 && input1.LineMatches(i, input2, j); ++i, ++j) {
        rows.Pair(i, MarkUnchanged, j, MarkUnchanged);
    }
    std::optional<LineSearch> in1;
    std::optional<LineSearch> in2;
    if (i < count1 && j < count2) {
        // Indexing a few thousand lines takes less than starting a thread.
        constexpr LineIndex kLinesWorthSharing = 16384;
        const Sharing sharing = (count1 - i) + (count2 - j) < kLinesWorthSharing
                                    ? Sharing::OneAfterTheOther
                                    : Sharing::SideBySide;
        RunSideBySide(
            sharing, [&] { in1.emplace(input1); }, [&] { in2.emplace(input2); });
    }
    while (i < count1) {
        if (j == count2) {
            rows.Deleted(i, count1);
            i = count1;
            break;
        }
        LineIndex k = j;
        const bool foundIn2 = in2->FindLine(input1, i, k);
        if (foundIn2 && k == j) {
            rows.Pair(i++, MarkUnchanged, j++, MarkUnchanged);
            continue;
        }
        LineIndex m = i;
        const bool foundIn1 = in1->FindLine(input2, j, m);
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

}  // namespace

std::uint64_t AlignmentMemory(const TextDocument& input1, const TextDocument& input2) {
    // Per row and side a line number and a mark; per input line the index's position, its
    // share of a bucket and the bucket number while the index is built.
    constexpr std::uint64_t kPerRow = 2 * (sizeof(std::uint32_t) + sizeof(LineMark));
    constexpr std::uint64_t kPerLine = 3 * sizeof(std::uint32_t) + 1;
    const auto lines = static_cast<std::uint64_t>(input1.GetLineCount() + input2.GetLineCount());
    return lines * (kPerRow + kPerLine);
}

void ComputeDifferences(const TextDocument& input1, const TextDocument& input2,
                        TextDocument& result1, TextDocument& result2, Alignment alignment) {
    if (alignment == Alignment::Minimal) {
        AlignMinimal(input1, input2, result1, result2);
    } else {
        AlignGreedy(input1, input2, result1, result2);
    }
    LeaveOutIgnoredHunks(input1, input2, result1, result2);
}

}  // namespace tandemix
