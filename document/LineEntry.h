#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tandemix {

// Position of a line in a document, counted from 0. Signed so that reads before the first
// line are simply out of range.
using LineIndex = std::ptrdiff_t;

// One line of a document. The text is a view into storage the document holds; it carries
// no line end (except in tag-removal mode, where every line ends with "\r\n").
struct LineEntry {
    std::string_view text;
    std::int32_t mark = 0;
};

}  // namespace tandemix
