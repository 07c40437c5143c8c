#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "document/TextDocument.h"
#include "report/ChunkedOutput.h"
#include "report/ReportData.h"
#include "report/ReportWriter.h"

namespace tandemix {

// The one-file report's name in the output directory.
inline constexpr std::string_view kSingleReportName = "Tandemix-Bericht.html";

// What the one-file report shows besides the rows.
struct SingleReportHead {
    std::string_view name1;
    std::string_view name2;
    CodePage codePage = CodePage::None;
    LineNumbers lineNumbers = LineNumbers::Shown;
};

// Writes the one self-contained page: the result line and legend, the controls, the rows as
// a data block and the script that shows them. The page is streamed to the sink as it is
// generated; it is never held whole. The rows go into data blocks of at most pieceBytes
// each (see ReportData.h).
void WriteSingleReport(const TextDocument& rows1, const TextDocument& rows2,
                       const SingleReportHead& head, ByteSink& sink,
                       std::size_t pieceBytes = kDataPieceBytes);

// Writes the page to the path, replacing the file whole or not at all. On failure it logs
// "error : cannot create PATH" and returns false.
bool WriteSingleReportFile(const std::string& path, const TextDocument& rows1,
                           const TextDocument& rows2, const SingleReportHead& head, DebugLog& log);

// The places of the one-file page that differ from comparison to comparison, in page order.
enum class SinglePageHole { TitleName1, TitleName2, Result, Name1, Name2, Data };

// Writes the page's fixed parts with the character set given, calling `fill` to write what
// stands in each hole. A page that shows several comparisons builds each one's page from
// the parts between the holes.
void WriteSinglePage(const SingleReportHead& head, std::string_view charset, ChunkedOutput& out,
                     const std::function<void(SinglePageHole)>& fill);

// The row colours as the page's custom properties (--C, --A, --D), which its style uses for
// rows, legend and overview.
void AppendColours(ChunkedOutput& out);

// The result's words after "Ergebnis: ": "Keine Unterschiede" or "N Unterschiede".
void AppendResult(LineIndex differenceCount, ChunkedOutput& out);

// The page's script: its parts from report/single/, joined into one function.
std::string SinglePageScript();

// The character set the page declares. Texts are never converted, so it is the code page's;
// without one, UTF-8 when every row and name is well-formed UTF-8 (plain ASCII included),
// otherwise Windows-1252, in which every byte reads as one character.
std::string_view PageCharset(const TextDocument& rows1, const TextDocument& rows2,
                             const SingleReportHead& head);

}  // namespace tandemix
