#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

#include "cli/TextOut.h"

namespace tandemix::cli {

// One line of a terminal that is rewritten in place; anything else printed to the same
// terminal must clear it first so that the two do not run together.
class ProgressLine {
public:
    explicit ProgressLine(TextOut out) : out_(std::move(out)) {}

    void Show(std::string_view text);
    // Blanks the line and leaves the cursor at its start; nothing when nothing is shown.
    void Clear();

private:
    TextOut out_;
    std::size_t shownLength_ = 0;
};

}  // namespace tandemix::cli
