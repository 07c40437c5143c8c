#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "report/ChunkedOutput.h"

namespace tandemix {

// Writes a page's markup file (report/single/*.html), calling fill for each @name@ in it to
// write what stands there. The markup keeps its bytes; the names never reach the page.
void WriteMarkup(std::string_view markup, ChunkedOutput& out,
                 const std::function<void(std::string_view name)>& fill);

// A page's script: its parts joined into one function, in order, run inside a try that hands
// their failure to the failure part, which stands ahead of them.
std::string JoinedScript(std::string_view failure, std::span<const std::string_view> parts);

}  // namespace tandemix
