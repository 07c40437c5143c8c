#pragma once

#include <array>
#include <functional>

#include "base/ByteSink.h"
#include "document/TextDocument.h"
#include "report/ReportParts.h"

namespace tandemix {

// Where the framed report's three pages go as they are generated.
struct PageSinks {
    ByteSink& top;
    std::array<std::reference_wrapper<ByteSink>, 2> sides;  // by Index(side)
};

// Writes two aligned row lists as the top page and the two side pages, handed to the sinks
// in pieces as they are made, so that memory does not grow with the pages. The side pages
// are written at the same time, each from a thread of its own.
void WriteFramedReport(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head,
                       const PageSinks& sinks);

}  // namespace tandemix
