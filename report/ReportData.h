#pragma once

#include <cstddef>
#include <limits>
#include <string_view>

#include "document/TextDocument.h"
#include "report/ChunkedOutput.h"
#include "report/RowCode.h"

namespace tandemix {

// The rows of one comparison as the one-file report carries them: one or more JSON objects,
// each in a data block of its own and read once by the page's script, with every input line
// in one of them once. Each object holds the rows [F, T) of the N rows:
//
//   {"format":2,"rows":N,"from":F,"to":T,
//    "marks":[M1,M2],           one character per row and side, see RowCode
//    "lines":[L1,L2],           [row, number, row, number, ...]: where a side's line numbers
//                               do not go on from the previous line's number plus one
//    "sections":[S1,S2],        [row, "title", ...]: the sections that begin at a row
//    "breaks":[B1,B2],          [row, count, ...]: the rows whose own text holds line feeds
//    "texts":[T1,T2],           one string per side: the texts of the rows that carry their
//                               own, in row order, each followed by a line feed
//    "ignored":[I1,I2]}         [row, begin, end, ...]: the parts of a row's text that the
//                               text patterns matched, in bytes from the start of the row's
//                               own text [begin, end), in order; for a row that shows the
//                               first side's text too. Only in blocks that have such parts.
//
// One string per side and block lets the page search its rows with a few native scans and
// keeps it from making a string for every row. The blocks are cut so that none is longer
// than a browser's longest string (about 2^29 characters in V8); only a single row longer
// than that makes a block of its own that is.
// Rows are counted from the first row of all; line numbers start from 1 before each block's
// first row. Strings hold the row texts' bytes as they are, except for the bytes that JSON
// or an HTML parser would not keep: the quote, the backslash and every byte below 0x20 are
// escaped, and so is "<", so that no text can end the script element that holds the object.
// Bytes above 0x7F stay as they are, for the page's character set to decode.
// The most bytes of one block, counting every text byte as the six of its longest escape.
inline constexpr std::size_t kDataPieceBytes = std::size_t{384} << 20;

// The number of rows of the two sides.
LineIndex RowCountOf(const TextDocument& rows1, const TextDocument& rows2);

// A page can show its first rows from a small first block while the browser still reads the
// others. It holds the rows of the first screens: enough to fill a tall window at the
// smallest text size with the margin a page renders around the view, and fewer when their
// texts are long (at least one row, when there are rows).
inline constexpr LineIndex kFirstScreensRows = 1000;
inline constexpr std::size_t kFirstScreensBytes = std::size_t{1} << 20;
LineIndex FirstScreensEnd(const TextDocument& rows1, const TextDocument& rows2,
                          std::size_t pieceBytes = kDataPieceBytes);

inline constexpr LineIndex kEveryRow = std::numeric_limits<LineIndex>::max();

// Writes the blocks' objects of the rows [from, to), with `between` (the end of one block
// and the start of the next) between two of them. Each block stands on its own, so calls
// for adjoining rows write blocks that read as those of one call.
void WriteReportData(const TextDocument& rows1, const TextDocument& rows2, ChunkedOutput& out,
                     std::string_view between = {}, std::size_t pieceBytes = kDataPieceBytes,
                     LineIndex from = 0, LineIndex to = kEveryRow);

// A JSON string of the bytes, escaped as above, and the same without the quotes.
void AppendJsonString(std::string_view bytes, ChunkedOutput& out);
void AppendJsonStringContent(std::string_view bytes, ChunkedOutput& out);

}  // namespace tandemix
