#include "diff/IgnoredLines.h"

namespace tandemix {
namespace {

using enum LineMark;

bool IsChangedRow(const TextDocument& result1, const TextDocument& result2, LineIndex row) {
    return result1.GetMark(row) != MarkUnchanged || result2.GetMark(row) != MarkUnchanged;
}

// A placeholder has no source line; every line of an input has one.
bool RowIgnored(const TextDocument& input, const TextDocument& result, LineIndex row) {
    return result.GetSourceLine(row) == 0 ||
           input.GetMatchRule().IgnoresLine(result.GetLineText(row));
}

}  // namespace

void LeaveOutIgnoredHunks(const TextDocument& input1, const TextDocument& input2,
                          TextDocument& result1, TextDocument& result2) {
    if (!input1.GetMatchRule().HasLinePatterns() && !input2.GetMatchRule().HasLinePatterns()) {
        return;
    }
    const LineIndex rows = result1.GetLineCount();
    for (LineIndex row = 0; row < rows;) {
        if (!IsChangedRow(result1, result2, row)) {
            ++row;
            continue;
        }
        LineIndex end = row;
        bool ignored = true;
        for (; end < rows && IsChangedRow(result1, result2, end); ++end) {
            ignored =
                ignored && RowIgnored(input1, result1, end) && RowIgnored(input2, result2, end);
        }
        for (; ignored && row < end; ++row) {
            result1.SetMark(row, MarkUnchanged);
            result2.SetMark(row, MarkUnchanged);
        }
        row = end;
    }
}

}  // namespace tandemix
