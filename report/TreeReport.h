#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "base/CodePage.h"
#include "document/TextDocument.h"
#include "folders/TreeEntry.h"
#include "report/ReportData.h"
#include "report/ReportParts.h"

namespace tandemix {

// What the page shows of one file entry: its aligned rows, or why there are none.
struct TreeFileRows {
    std::array<TextDocument, 2> rows{TextDocument(CodePage::None), TextDocument(CodePage::None)};
    bool binary = false;  // a NUL byte in the first 8 KiB: shown by its size only
    std::string problem;  // why the file could not be read, shown instead of its rows
};

// Gives the rows of one entry that ShowsRows; asked once per such entry, in path order, so
// that only one entry's rows are held at a time.
using TreeRowsSource = std::function<TreeFileRows(const TreeEntry& entry)>;

// Files of more bytes than this (both sides together) are not put into the page: a browser
// could not hold their rows. Beyond the report's limit, the files that would not fit are
// left out the same way. Either gets a message in the page instead of rows.
inline constexpr std::uint64_t kTreeFileBytes = std::uint64_t{768} << 20;
inline constexpr std::uint64_t kTreeReportBytes = std::uint64_t{1536} << 20;

// The page shows its first file before it has read the others, so that file's data stands
// before the page's script. The files before it in path order are asked for first; the data
// of at most this many bytes of them is held back to stand after the script, and past that
// they go out in path order, the first file's data among them.
inline constexpr std::size_t kTreeHeldBytes = std::size_t{16} << 20;

struct TreeReportLimits {
    std::uint64_t fileBytes = kTreeFileBytes;
    std::uint64_t reportBytes = kTreeReportBytes;
    std::size_t pieceBytes = kDataPieceBytes;
    std::size_t heldBytes = kTreeHeldBytes;
};

struct TreeReportHead {
    std::array<std::string_view, 2> tops;  // the two compared folders, by Index(side)
    CodePage codePage = CodePage::None;
    LineNumbers lineNumbers = LineNumbers::Shown;
};

// What the page counted.
struct TreeReportCounts {
    LineIndex differences = 0;  // entries that are differences of their own
    LineIndex added = 0;        // lines, over all files shown
    LineIndex deleted = 0;
    LineIndex changed = 0;
};

// Whether the page shows the entry's rows: a file on one side only, or a changed pair of
// text files.
bool ShowsRows(const TreeEntry& entry);

// Writes the one-file report of two folders: the result, the tree of entries with their
// statuses, and for each entry that ShowsRows its rows as data blocks of their own
// (ReportData.h), which the page decodes only when the file is shown, inside the one-file
// page of that file. The page is UTF-8: names keep their bytes where they are UTF-8 and
// show U+FFFD where not; a file whose texts are not UTF-8 is shown as the one-file report
// shows it, read as Windows-1252. So that a browser draws the tree and the first file while
// it still reads the rest, the entries and the data of the file the page shows first stand
// before the script, the other files' data after it, and last what only the rows tell: the
// files' line counts and the files that got no rows after all.
TreeReportCounts WriteTreeReport(const TreeReportHead& head, std::span<const TreeEntry> entries,
                                 const TreeRowsSource& rowsOf, ByteSink& sink,
                                 const TreeReportLimits& limits = {});

// The text as well-formed UTF-8: each byte that belongs to no character becomes U+FFFD.
std::string WithReplacementCharacters(std::string_view text);

}  // namespace tandemix
