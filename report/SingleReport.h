#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "document/TextDocument.h"
#include "report/ReportData.h"
#include "report/ReportParts.h"

namespace tandemix {

// Writes the one self-contained page: the result line and legend, the controls, the rows of
// the first screens as a data block, the script that shows them, then the other rows' data.
// The page is streamed to the sink as it is generated; it is never held whole. The rows go into
// data blocks of at most pieceBytes each (see ReportData.h).
void WriteSingleReport(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head,
                       ByteSink& sink, std::size_t pieceBytes = kDataPieceBytes);

// The page's script: its parts from report/single/, joined into one function.
std::string SinglePageScript();

// The character set the page declares. Texts are never converted, so it is the code page's;
// without one, UTF-8 when every row and name is well-formed UTF-8 (plain ASCII included),
// otherwise Windows-1252, in which every byte reads as one character.
std::string_view PageCharset(const TextDocument& rows1, const TextDocument& rows2,
                             const ReportHead& head);

}  // namespace tandemix
