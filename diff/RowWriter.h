#pragma once

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
    const TextDocument& input1_;
    const TextDocument& input2_;
    TextDocument& result1_;
    TextDocument& result2_;
};

}  // namespace tandemix
