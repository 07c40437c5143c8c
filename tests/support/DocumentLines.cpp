#include "support/DocumentLines.h"

namespace tandemix::testing {

std::vector<std::string> LinesOf(const TextDocument& document) {
    std::vector<std::string> lines;
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        lines.emplace_back(document.GetLineText(i));
    }
    return lines;
}

}  // namespace tandemix::testing
