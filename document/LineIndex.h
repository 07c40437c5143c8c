#pragma once

#include <cstddef>

namespace tandemix {

// Position of a line in a document, counted from 0. Signed so that reads before the first
// line are simply out of range.
using LineIndex = std::ptrdiff_t;

}  // namespace tandemix
