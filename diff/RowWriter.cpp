#include "diff/RowWriter.h"

#include <algorithm>

namespace tandemix {

using enum LineMark;

RowWriter::RowWriter(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
                     TextDocument& result2)
    : input1_(input1), input2_(input2), result1_(result1), result2_(result2) {
    result1_.SetName(input1_.GetName());
    result2_.SetName(input2_.GetName());
    // The rows show the inputs' own lines: they refer to them instead of copying them.
    result1_.ShareTextOf(input1_);
    result2_.ShareTextOf(input2_);
    // Room for the most rows there can be; memory that no row reaches is never touched.
    const LineIndex most = input1_.GetLineCount() + input2_.GetLineCount();
    result1_.ReserveLines(most);
    result2_.ReserveLines(most);
}

void RowWriter::Pair(LineIndex line1, LineMark mark1, LineIndex line2, LineMark mark2) {
    result1_.AddRowOf(input1_, line1, mark1);
    result2_.AddRowOf(input2_, line2, mark2);
}

void RowWriter::Deleted(LineIndex from, LineIndex to) {
    for (LineIndex line = from; line < to; ++line) {
        result1_.AddRowOf(input1_, line, MarkDeleted);
        result2_.AddEmptyLine();
    }
}

void RowWriter::Added(LineIndex from, LineIndex to) {
    for (LineIndex line = from; line < to; ++line) {
        result1_.AddEmptyLine();
        result2_.AddRowOf(input2_, line, MarkAdded);
    }
}

}  // namespace tandemix
