#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "document/TextDocument.h"
#include "report/ChunkedOutput.h"
#include "report/ReportData.h"
#include "report/ReportParts.h"

namespace tandemix {

// Writes the one self-contained page: the result line and legend, the controls, the rows of
// the first screens as a data block, the script that shows them, then the other rows' data.
// The page is streamed to the sink as it is generated; it is never held whole. The rows go
// into data blocks of at most pieceBytes each (see ReportData.h).
void WriteSingleReport(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head,
                       ByteSink& sink, std::size_t pieceBytes = kDataPieceBytes);

// What stands between two data blocks: the end of one and the start of the next.
inline constexpr std::string_view kDataPieceBetween =
    "</script>\r\n<script type=\"application/json\" class=\"tandemix-data\">";

// The places of the one-file page that differ from comparison to comparison, in page order:
// the names (in the title, then above the rows), the result line, the data blocks before
// the script and those after it.
enum class SinglePageHole { Name1, Name2, Result, Data, Rest };

// Writes the page's fixed parts with the character set given, calling `fill` to write what
// stands in each hole. A page that shows several comparisons builds each one's page from
// the parts between the holes.
void WriteSinglePage(const ReportHead& head, std::string_view charset, ChunkedOutput& out,
                     const std::function<void(SinglePageHole)>& fill);

// The row colours as the page's custom properties (--C, --A, --D), which its style uses for
// rows, legend and overview.
void AppendColours(ChunkedOutput& out);

// The page's script: its parts from report/single/, joined into one function.
std::string SinglePageScript();

// The character set the page declares. Texts are never converted, so it is the code page's;
// without one, UTF-8 when every row and name is well-formed UTF-8 (plain ASCII included),
// otherwise Windows-1252, in which every byte reads as one character.
std::string_view PageCharset(const TextDocument& rows1, const TextDocument& rows2,
                             const ReportHead& head);

}  // namespace tandemix
