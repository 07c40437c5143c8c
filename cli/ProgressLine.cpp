#include "cli/ProgressLine.h"

#include <algorithm>
#include <string>

namespace tandemix::cli {

void ProgressLine::Show(std::string_view text) {
    std::string line = "\r";
    line.append(text);
    // A shorter text must cover all of the longer one before it.
    if (text.size() < shownLength_) {
        line.append(shownLength_ - text.size(), ' ');
    }
    out_(line);
    shownLength_ = std::max(text.size(), shownLength_);
}

void ProgressLine::Clear() {
    if (shownLength_ == 0) {
        return;
    }
    std::string line = "\r";
    line.append(shownLength_, ' ').push_back('\r');
    out_(line);
    shownLength_ = 0;
}

}  // namespace tandemix::cli
