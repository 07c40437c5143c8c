#pragma once

#include "document/TextDocument.h"

namespace tandemix {

// Aligns the two inputs into two row lists of equal length with a single greedy forward
// pass: at each step the current line of each side is searched further on in the other
// side, and the two answers decide whether the rows are equal, changed, added or deleted.
// The results must be empty; each gets the name of its input. Always true.
bool ComputeDifferences(const TextDocument& input1, const TextDocument& input2,
                        TextDocument& result1, TextDocument& result2);

}  // namespace tandemix
