#pragma once

#include <cstdint>

namespace tandemix {

// What a row of an aligned result shows. The values are fixed: the report indexes its row
// styles by them.
enum class LineMark : std::uint8_t {
    MarkUnchanged = 0,  // equal to the row opposite; also every placeholder row
    MarkChanged = 1,    // opposite a different line, neither found again further on
    MarkAdded = 2,      // a line of input 2 only
    MarkDeleted = 3,    // a line of input 1 only
};

}  // namespace tandemix
