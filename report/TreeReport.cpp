#include "report/TreeReport.h"

#include <algorithm>
#include <array>
#include <vector>

#include "report/ByteScan.h"
#include "report/ChunkedOutput.h"
#include "report/PageMarkup.h"
#include "report/SingleReport.h"
#include "report/TreePageParts.h"

namespace tandemix {
namespace {

// Each shown file's data blocks open with this, the file's number and kFileStartEnd.
constexpr std::string_view kFileStart =
    "<script type=\"application/json\" class=\"tandemix-file\" data-file=\"";
constexpr std::string_view kFileStartEnd = "\">";
constexpr std::string_view kFileEnd = "</script>\r\n";

// Counts what passes on to the page, so that the report knows when it grows too large.
class CountingSink final : public ByteSink {
public:
    explicit CountingSink(ByteSink& sink) : sink_(sink) {}
    void Append(std::string_view bytes) override {
        count_ += bytes.size();
        sink_.Append(bytes);
    }
    std::uint64_t Count() const { return count_; }

private:
    ByteSink& sink_;
    std::uint64_t count_ = 0;
};

// The characters of Windows-1252's bytes 0x80 to 0x9F; the others are Latin-1's. The five
// bytes it leaves undefined read as the control characters of their value, as browsers
// read them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Passes a file's data on as UTF-8, its bytes read as Windows-1252: the page is UTF-8, and
// the file is shown as the one-file report of the pair shows it.
class Windows1252Sink final : public ByteSink {
public:
    explicit Windows1252Sink(ByteSink& sink) : sink_(sink) {}
    void Append(std::string_view bytes) override {
        converted_.clear();
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            AppendUtf8(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte,
                       converted_);
        }
        sink_.Append(converted_);
    }

private:
    ByteSink& sink_;
    std::string converted_;
};

void AppendNumber(std::uint64_t number, ChunkedOutput& out) {
    out.Append(Decimal(static_cast<std::int64_t>(number)).Text());
}

void AppendName(std::string_view name, ChunkedOutput& out) {
    AppendJsonString(WithReplacementCharacters(name), out);
}

char KindLetter(EntryKind kind) {
    switch (kind) {
        case EntryKind::File:
            return 'f';
        case EntryKind::Folder:
            return 'd';
        case EntryKind::Special:
            return 's';
        case EntryKind::Unreadable:
            return 'u';
        case EntryKind::None:
            break;
    }
    return '-';
}

// What became of a file whose rows the page may show, by the file's number: only the rows
// tell it, so it stands at the page's end.
struct FileOutcome {
    MarkCounts lines;
    LineIndex differences = 0;
    bool written = false;
    bool binary = false;
    bool tooLarge = false;  // past the report's limit
    std::string problem;
};

// The one-file page of a file, cut at its holes (SinglePageHole), as the page's script puts
// it together for the file shown.
void WriteViewer(const TreeReportHead& head, ChunkedOutput& out) {
    StringSink page;
    std::vector<std::size_t> cuts{0};
    {
        ChunkedOutput pageOut(page);
        WriteSinglePage({"", "", CodePage::Utf8, head.lineNumbers}, "utf-8", pageOut,
                        [&](SinglePageHole hole) {
                            // A file's blocks all stand before the script.
                            if (hole == SinglePageHole::Rest) {
                                return;
                            }
                            pageOut.Flush();
                            cuts.push_back(page.Text().size());
                        });
    }
    cuts.push_back(page.Text().size());
    out.Append("{\"format\":1,\"pieces\":[");
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        out.Append(i == 0 ? "" : ",\r\n");
        AppendJsonString(std::string_view(page.Text()).substr(cuts[i], cuts[i + 1] - cuts[i]), out);
    }
    out.Append("],\r\n\"between\":");
    AppendJsonString(kDataPieceBetween, out);
    out.Append(",\"resultNone\":");
    AppendJsonString(ResultLine(0), out);
    out.Append(",\"resultStart\":");
    AppendJsonString(kResultStart, out);
    out.Append(",\"resultCountEnd\":");
    AppendJsonString(kResultCountEnd, out);
    out.Append("}");
}

void WriteFileData(const TreeFileRows& rows, std::int64_t file, const TreeReportHead& head,
                   const TreeReportLimits& limits, ByteSink& page) {
    std::string start(kFileStart);
    start.append(std::to_string(file)).append(kFileStartEnd);
    page.Append(start);
    const std::string_view charset = PageCharset(rows.rows[0], rows.rows[1], {{}, head.codePage});
    Windows1252Sink converted(page);
    {
        ChunkedOutput data(charset == "utf-8" ? page : converted);
        WriteReportData(rows.rows[0], rows.rows[1], data, std::string(kFileEnd) + start,
                        limits.pieceBytes);
    }
    page.Append(kFileEnd);
}

// The entries' numbers of the files whose rows the page may show, in path order; -1 for the
// others, and for files too large for a browser.
std::vector<std::int64_t> FileNumbers(std::span<const TreeEntry> entries,
                                      const TreeReportLimits& limits) {
    std::vector<std::int64_t> numbers(entries.size(), -1);
    std::int64_t next = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        if (ShowsRows(entry) && entry.sides[0].size + entry.sides[1].size <= limits.fileBytes) {
            numbers[i] = next++;
        }
    }
    return numbers;
}

// Whether the page lists `later`, which comes after `earlier` in path order, before it: the
// page lists a folder's subfolders before its files, so it does where the two paths part in
// a folder that holds `earlier` itself and a subfolder on the way to `later`.
bool ListedBefore(std::string_view later, std::string_view earlier) {
    std::size_t folder = 0;
    for (std::size_t i = 0; i < std::min(later.size(), earlier.size()) && later[i] == earlier[i];
         ++i) {
        folder = later[i] == '/' ? i + 1 : folder;
    }
    return later.find('/', folder) != std::string_view::npos &&
           earlier.find('/', folder) == std::string_view::npos;
}

// The entry the page shows when it opens without an address: the first differing file of
// the tree it lists; entries.size() when there is none.
std::size_t FirstShown(std::span<const TreeEntry> entries) {
    std::size_t first = entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        const bool folder =
            entry.sides[0].kind == EntryKind::Folder || entry.sides[1].kind == EntryKind::Folder;
        if (folder || entry.status == EntryStatus::Equal ||
            entry.status == EntryStatus::EqualUnderOptions) {
            continue;
        }
        if (first == entries.size() || ListedBefore(entry.path, entries[first].path)) {
            first = i;
        }
    }
    return first;
}

// Writes the files' data blocks, asking for each file's rows once, in path order, so that
// only one file's rows are held at a time.
class FileWriter {
public:
    FileWriter(std::span<const TreeEntry> entries, const std::vector<std::int64_t>& numbers,
               const TreeRowsSource& rowsOf, const TreeReportHead& head,
               const TreeReportLimits& limits, CountingSink& page)
        : entries_(entries),
          numbers_(numbers),
          rowsOf_(rowsOf),
          head_(head),
          limits_(limits),
          page_(page),
          outcomes_(static_cast<std::size_t>(
              std::ranges::count_if(numbers, [](std::int64_t file) { return file >= 0; }))) {}

    // The data of the entry `first`, where the page holds it before its script; the files
    // before it are written to a store, up to the limit of held bytes.
    void WriteFirst(std::size_t first) {
        if (first >= entries_.size() || numbers_[first] < 0) {
            return;
        }
        while (next_ <= first && held_.Text().size() <= limits_.heldBytes) {
            WriteNext(next_ == first ? static_cast<ByteSink&>(page_) : held_);
        }
    }

    // The held data, then that of the files not written yet.
    void WriteRest() {
        page_.Append(held_.Take());
        while (next_ < entries_.size()) {
            WriteNext(page_);
        }
    }

    const std::vector<FileOutcome>& Outcomes() const { return outcomes_; }
    const TreeReportCounts& Counts() const { return counts_; }

private:
    void WriteNext(ByteSink& sink) {
        const std::size_t at = next_++;
        const std::int64_t file = numbers_[at];
        if (file < 0) {
            return;
        }
        FileOutcome& outcome = outcomes_[static_cast<std::size_t>(file)];
        const TreeEntry& entry = entries_[at];
        const std::uint64_t bytes = entry.sides[0].size + entry.sides[1].size;
        if (page_.Count() + held_.Text().size() + bytes > limits_.reportBytes) {
            outcome.tooLarge = true;
            return;
        }
        const TreeFileRows rows = rowsOf_(entry);
        if (rows.binary || !rows.problem.empty()) {
            outcome.binary = rows.binary;
            outcome.problem = rows.problem;
            return;
        }
        outcome.written = true;
        outcome.lines = {rows.rows[1].CountMarks().added, rows.rows[0].CountMarks().changed,
                         rows.rows[0].CountMarks().deleted};
        outcome.differences = DifferenceCount(rows.rows[0], rows.rows[1]);
        counts_.added += outcome.lines.added;
        counts_.deleted += outcome.lines.deleted;
        counts_.changed += outcome.lines.changed;
        WriteFileData(rows, file, head_, limits_, sink);
    }

    std::span<const TreeEntry> entries_;
    const std::vector<std::int64_t>& numbers_;
    const TreeRowsSource& rowsOf_;
    const TreeReportHead& head_;
    const TreeReportLimits& limits_;
    CountingSink& page_;
    StringSink held_;
    std::size_t next_ = 0;
    std::vector<FileOutcome> outcomes_;
    TreeReportCounts counts_;
};

// What the page shows of an entry besides its name and status, as far as it is known
// before the rows: sizes, a move's other path, a binary pair, a file too large for a
// browser, and the number of a file's data blocks.
void AppendDetails(const TreeEntry& entry, std::int64_t file, ChunkedOutput& out) {
    out.Append(",{\"sizes\":[");
    AppendNumber(entry.sides[0].size, out);
    out.Append(',');
    AppendNumber(entry.sides[1].size, out);
    out.Append(']');
    if (entry.status == EntryStatus::Moved) {
        out.Append(",\"to\":");
        AppendName(entry.movedTo, out);
    }
    if (entry.binary) {
        out.Append(",\"binary\":1");
    }
    if (file >= 0) {
        out.Append(",\"file\":");
        AppendNumber(static_cast<std::uint64_t>(file), out);
    } else if (ShowsRows(entry)) {
        out.Append(",\"large\":1");
    }
    out.Append('}');
}

// The statuses by their numbers (EntryStatus), with the words the page shows.
void AppendStatuses(ChunkedOutput& out) {
    constexpr std::array<std::pair<EntryStatus, std::string_view>, 8> kStatuses = {{
        {EntryStatus::Equal, "\"equal\""},
        {EntryStatus::Changed, "\"changed\""},
        {EntryStatus::OnlyIn1, "\"onlyIn1\""},
        {EntryStatus::OnlyIn2, "\"onlyIn2\""},
        {EntryStatus::KindsDiffer, "\"kindsDiffer\""},
        {EntryStatus::Unreadable, "\"unreadable\""},
        {EntryStatus::Moved, "\"moved\""},
        {EntryStatus::EqualUnderOptions, "\"equalUnderOptions\""},
    }};
    out.Append("\"status\":{");
    for (std::size_t i = 0; i < kStatuses.size(); ++i) {
        out.Append(i == 0 ? "" : ",");
        out.Append(kStatuses[i].second);
        out.Append(':');
        AppendNumber(static_cast<std::uint64_t>(kStatuses[i].first), out);
    }
    out.Append('}');
}

// Which entries the page has at first: those that are no equal ones and the folders above
// them (a file equal under the options may lie in an equal folder). The others are equal
// entries that the page shows only when asked for every entry.
std::vector<bool> ShownAtFirst(std::span<const TreeEntry> entries) {
    std::vector<bool> first(entries.size());
    // The entries on the way down to the current one, which path order lists before it.
    std::vector<std::size_t> way;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view path = entries[i].path;
        while (!way.empty()) {
            const std::string_view above = entries[way.back()].path;
            if (path.size() > above.size() && path[above.size()] == '/' &&
                path.starts_with(above)) {
                break;
            }
            way.pop_back();
        }
        if (entries[i].status != EntryStatus::Equal) {
            first[i] = true;
            for (auto above = way.rbegin(); above != way.rend() && !first[*above]; ++above) {
                first[*above] = true;
            }
        }
        way.push_back(i);
    }
    return first;
}

// The entries the page has at first, each with its place in path order among all entries.
void WriteEntries(const TreeReportHead& head, std::span<const TreeEntry> entries,
                  const std::vector<std::int64_t>& numbers, const std::vector<bool>& first,
                  ChunkedOutput& out) {
    out.Append("{\"format\":1,\"tops\":[");
    AppendName(head.tops[0], out);
    out.Append(',');
    AppendName(head.tops[1], out);
    out.Append("],");
    AppendStatuses(out);
    out.Append(",\"later\":");
    AppendNumber(static_cast<std::uint64_t>(std::ranges::count(first, false)), out);
    out.Append(",\r\n\"entries\":[");
    std::string_view separator = "\r\n[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        if (!first[i]) {
            continue;
        }
        out.Append(separator);
        separator = ",\r\n[";
        AppendName(entry.path, out);
        out.Append(',');
        AppendNumber(static_cast<std::uint64_t>(entry.status), out);
        out.Append(",\"");
        out.Append(KindLetter(entry.sides[0].kind));
        out.Append(KindLetter(entry.sides[1].kind));
        out.Append('"');
        if (entry.status == EntryStatus::Equal) {
            out.Append(",null");
        } else {
            AppendDetails(entry, numbers[i], out);
        }
        out.Append(',');
        AppendNumber(i, out);
        out.Append(']');
    }
    out.Append("]}");
}

// The other entries, all equal ones, in path order by their names and kinds.
void WriteLaterEntries(std::span<const TreeEntry> entries, const std::vector<bool>& first,
                       ChunkedOutput& out) {
    out.Append("{\"format\":1,\"entries\":[");
    std::string_view separator = "\r\n[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (first[i]) {
            continue;
        }
        out.Append(separator);
        separator = ",\r\n[";
        AppendName(entries[i].path, out);
        out.Append(",\"");
        out.Append(KindLetter(entries[i].sides[0].kind));
        out.Append(KindLetter(entries[i].sides[1].kind));
        out.Append("\"]");
    }
    out.Append("]}");
}

// The line counts over all files, and by each file's number its lines added, deleted and
// changed and its differences, or why it got no rows.
void WriteCounts(const std::vector<FileOutcome>& outcomes, const TreeReportCounts& counts,
                 ChunkedOutput& out) {
    out.Append("{\"format\":1,\"lines\":[");
    AppendNumber(static_cast<std::uint64_t>(counts.added), out);
    out.Append(',');
    AppendNumber(static_cast<std::uint64_t>(counts.deleted), out);
    out.Append(',');
    AppendNumber(static_cast<std::uint64_t>(counts.changed), out);
    out.Append("],\r\n\"files\":[");
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const FileOutcome& outcome = outcomes[i];
        out.Append(i == 0 ? "\r\n" : ",\r\n");
        if (outcome.written) {
            const std::array<LineIndex, 4> figures = {outcome.lines.added, outcome.lines.deleted,
                                                      outcome.lines.changed, outcome.differences};
            for (std::size_t k = 0; k < figures.size(); ++k) {
                out.Append(k == 0 ? '[' : ',');
                AppendNumber(static_cast<std::uint64_t>(figures[k]), out);
            }
            out.Append(']');
        } else if (outcome.binary) {
            out.Append("{\"binary\":1}");
        } else if (outcome.tooLarge) {
            out.Append("{\"large\":1}");
        } else {
            out.Append("{\"problem\":");
            AppendName(outcome.problem, out);
            out.Append('}');
        }
    }
    out.Append("]}");
}

}  // namespace

bool ShowsRows(const TreeEntry& entry) {
    switch (entry.status) {
        case EntryStatus::Changed:
        case EntryStatus::EqualUnderOptions:
            return !entry.binary && entry.sides[0].kind == EntryKind::File &&
                   entry.sides[1].kind == EntryKind::File;
        case EntryStatus::OnlyIn1:
            return entry.sides[0].kind == EntryKind::File;
        case EntryStatus::OnlyIn2:
            return entry.sides[1].kind == EntryKind::File;
        default:
            return false;
    }
}

TreeReportCounts WriteTreeReport(const TreeReportHead& head, std::span<const TreeEntry> entries,
                                 const TreeRowsSource& rowsOf, ByteSink& sink,
                                 const TreeReportLimits& limits) {
    LineIndex differences = 0;
    for (const TreeEntry& entry : entries) {
        differences += IsOwnDifference(entry) ? 1 : 0;
    }
    CountingSink counted(sink);
    ChunkedOutput out(counted);
    const std::array<std::string, 2> tops{EscapedName(WithReplacementCharacters(head.tops[0])),
                                          EscapedName(WithReplacementCharacters(head.tops[1]))};
    const std::vector<std::int64_t> numbers = FileNumbers(entries, limits);
    const std::vector<bool> atFirst = ShownAtFirst(entries);
    FileWriter files(entries, numbers, rowsOf, head, limits, counted);
    // The page's markup is a file beside its script and style (report/single/tree.html).
    WriteMarkup(kTreePageMarkup, out, [&](std::string_view name) {
        if (name == "banner") {
            out.Append(kReportBanner);
        } else if (name == "top1" || name == "top2") {
            out.Append(tops[name == "top1" ? 0 : 1]);
        } else if (name == "colours") {
            AppendColours(out);
        } else if (name == "style") {
            out.Append(kTreePageStyle);
        } else if (name == "result") {
            out.Append(ResultLine(differences));
        } else if (name == "viewer") {
            WriteViewer(head, out);
        } else if (name == "entries") {
            WriteEntries(head, entries, numbers, atFirst, out);
        } else if (name == "first") {
            out.Flush();
            files.WriteFirst(FirstShown(entries));
        } else if (name == "script") {
            out.Append(JoinedScript(kTreeScript_failure, kTreeScriptParts));
        } else if (name == "later") {
            WriteLaterEntries(entries, atFirst, out);
        } else if (name == "files") {
            out.Flush();
            files.WriteRest();
        } else if (name == "counts") {
            WriteCounts(files.Outcomes(), files.Counts(), out);
        }
    });
    TreeReportCounts counts = files.Counts();
    counts.differences = differences;
    return counts;
}

std::string WithReplacementCharacters(std::string_view text) {
    if (IsWellFormedUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::string_view character = text.substr(at, length);
        if (character.size() == length && IsWellFormedUtf8(character)) {
            out.append(character);
            at += length;
        } else {
            out.append("\xEF\xBF\xBD");
            ++at;
        }
    }
    return out;
}

}  // namespace tandemix
