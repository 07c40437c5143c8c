#pragma once

#include <cstdint>

#include "document/TextDocument.h"

namespace tandemix {

// How two inputs are aligned: by the single greedy forward pass, or by a shortest edit
// script that touches as few lines as possible.
enum class Alignment { Greedy, Minimal };

// Aligns the two inputs into two row lists of equal length. The greedy pass goes forward
// once: at each step the current line of each side is searched further on in the other
// side, and the two answers decide whether the rows are equal, changed, added or deleted.
// The minimal alignment shows a shortest edit script instead. The results must be empty;
// each gets the name of its input, and its rows show the input's lines, which they keep
// alive. The inputs are only read. Under line patterns, hunks of matching lines only are
// then unchanged rows (LeaveOutIgnoredHunks).
void ComputeDifferences(const TextDocument& input1, const TextDocument& input2,
                        TextDocument& result1, TextDocument& result2,
                        Alignment alignment = Alignment::Greedy);

// The most memory ComputeDifferences takes beyond its inputs, in bytes: its rows, as many
// as both inputs have lines at worst, and the search indexes.
std::uint64_t AlignmentMemory(const TextDocument& input1, const TextDocument& input2);

}  // namespace tandemix
