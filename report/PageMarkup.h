#pragma once

#include <functional>
#include <string_view>

#include "report/ChunkedOutput.h"

namespace tandemix {

// Writes a page's markup file (report/single/*.html), calling fill for each @name@ in it to
// write what stands there. The markup keeps its bytes; the names never reach the page.
void WriteMarkup(std::string_view markup, ChunkedOutput& out,
                 const std::function<void(std::string_view name)>& fill);

}  // namespace tandemix
