#pragma once

#include "diff/EditScript.h"
#include "diff/MyersSearch.h"
#include "document/TextDocument.h"

namespace tandemix {

// The shortest edit script between the lines of two inputs, as far as the limits allow:
// lines are classes, lines without a match on the other side are set aside, the common
// head and tail are kept, and the search marks the rest.
EditScript FindShortestEdit(const TextDocument& input1, const TextDocument& input2,
                            const SearchLimits& limits = {});

// Aligns the two inputs by a shortest edit script into two row lists of equal length, with
// the same kinds of rows and marks as the forward pass. The results must be empty; each
// gets the name of its input.
void AlignMinimal(const TextDocument& input1, const TextDocument& input2, TextDocument& result1,
                  TextDocument& result2, const SearchLimits& limits = {});

}  // namespace tandemix
