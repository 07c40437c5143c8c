#pragma once

#include <string>
#include <vector>

#include "document/TextDocument.h"

namespace tandemix::testing {

// The texts of a document's lines (or rows), in order.
std::vector<std::string> LinesOf(const TextDocument& document);

}  // namespace tandemix::testing
