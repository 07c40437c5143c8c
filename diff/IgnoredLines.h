#pragma once

#include "document/TextDocument.h"

namespace tandemix {

// Under the inputs' line patterns, a hunk (a run of rows that are not unchanged) whose
// lines all hold a match on both sides is no difference: its rows become unchanged rows,
// shown where they fall. A hunk with any other line stays whole, as diff -I has it.
void LeaveOutIgnoredHunks(const TextDocument& input1, const TextDocument& input2,
                          TextDocument& result1, TextDocument& result2);

}  // namespace tandemix
