#include "diff/RowWriter.h"

#include <cstddef>

namespace tandemix {

using enum LineMark;

RowWriter::RowWriter(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
                     TextDocument& result2)
    : inputs_{input1, input2}, results_{result1, result2} {
    // Room for the most rows there can be; memory that no row reaches is never touched.
    const LineIndex most = input1.GetLineCount() + input2.GetLineCount();
    for (std::size_t side = 0; side < 2; ++side) {
        TextDocument& result = results_[side];
        const TextDocument& input = inputs_[side];
        result.SetName(input.GetName());
        // The rows show the inputs' own lines: they refer to them instead of copying them.
        result.ShareTextOf(input);
        result.ReserveLines(most);
    }
}

void RowWriter::Pair(LineIndex line1, LineMark mark1, LineIndex line2, LineMark mark2) {
    results_[0].get().AddRowOf(inputs_[0], line1, mark1);
    results_[1].get().AddRowOf(inputs_[1], line2, mark2);
}

void RowWriter::Deleted(LineIndex from, LineIndex to) {
    for (LineIndex line = from; line < to; ++line) {
        results_[0].get().AddRowOf(inputs_[0], line, MarkDeleted);
        results_[1].get().AddEmptyLine();
    }
}

void RowWriter::Added(LineIndex from, LineIndex to) {
    for (LineIndex line = from; line < to; ++line) {
        results_[0].get().AddEmptyLine();
        results_[1].get().AddRowOf(inputs_[1], line, MarkAdded);
    }
}

}  // namespace tandemix
