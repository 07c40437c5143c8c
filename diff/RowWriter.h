#pragma once

#include <array>
#include <functional>

#include "document/TextDocument.h"

namespace tandemix {

// Appends aligned rows to the two result documents: a row pair is a line of each input, a
// deleted line of input 1 against a placeholder, or a placeholder against an added line of
// input 2. The rows show the inputs' own texts.
class RowWriter {
public:
    RowWriter(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
              TextDocument& result2);

    void Pair(LineIndex line1, LineMark mark1, LineIndex line2, LineMark mark2);
    // Lines [from, to) of input 1 as deleted rows.
    void Deleted(LineIndex from, LineIndex to);
    // Lines [from, to) of input 2 as added rows.
    void Added(LineIndex from, LineIndex to);

private:
    // By Index(side).
    std::array<std::reference_wrapper<const TextDocument>, 2> inputs_;
    std::array<std::reference_wrapper<TextDocument>, 2> results_;
};

}  // namespace tandemix
