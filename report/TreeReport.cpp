#include "report/TreeReport.h"

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

// What the page shows of an entry that is no equal one, besides its name.
struct Shown {
    std::int64_t file = -1;  // the number of its data blocks
    MarkCounts lines;
    LineIndex differences = 0;
    bool binary = false;
    bool tooLarge = false;
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
                   const TreeReportLimits& limits, ChunkedOutput& out, ByteSink& page) {
    std::string start(kFileStart);
    start.append(std::to_string(file)).append(kFileStartEnd);
    out.Append(start);
    out.Flush();
    const std::string_view charset = PageCharset(rows.rows1, rows.rows2, {"", "", head.codePage});
    Windows1252Sink converted(page);
    ChunkedOutput data(charset == "utf-8" ? page : converted);
    WriteReportData(rows.rows1, rows.rows2, data, std::string(kFileEnd) + start, limits.pieceBytes);
    data.Flush();
    out.Append(kFileEnd);
}

Shown WriteFile(const TreeEntry& entry, std::int64_t file, const TreeRowsSource& rowsOf,
                const TreeReportHead& head, const TreeReportLimits& limits, CountingSink& counted,
                ChunkedOutput& out) {
    Shown shown;
    const std::uint64_t bytes = entry.sides[0].size + entry.sides[1].size;
    if (bytes > limits.fileBytes || counted.Count() + bytes > limits.reportBytes) {
        shown.tooLarge = true;
        return shown;
    }
    const TreeFileRows rows = rowsOf(entry);
    if (rows.binary || !rows.problem.empty()) {
        shown.binary = rows.binary;
        shown.problem = rows.problem;
        return shown;
    }
    shown.file = file;
    shown.lines = {rows.rows2.CountMarks().added, rows.rows1.CountMarks().changed,
                   rows.rows1.CountMarks().deleted};
    shown.differences = DifferenceCount(rows.rows1, rows.rows2);
    WriteFileData(rows, file, head, limits, out, counted);
    return shown;
}

void AppendDetails(const TreeEntry& entry, const Shown& shown, ChunkedOutput& out) {
    out.Append(",{\"sizes\":[");
    AppendNumber(entry.sides[0].size, out);
    out.Append(',');
    AppendNumber(entry.sides[1].size, out);
    out.Append(']');
    if (entry.status == EntryStatus::Moved) {
        out.Append(",\"to\":");
        AppendName(entry.movedTo, out);
    }
    if (entry.binary || shown.binary) {
        out.Append(",\"binary\":1");
    }
    if (shown.tooLarge) {
        out.Append(",\"large\":1");
    }
    if (!shown.problem.empty()) {
        out.Append(",\"problem\":");
        AppendName(shown.problem, out);
    }
    if (shown.file >= 0) {
        out.Append(",\"file\":");
        AppendNumber(static_cast<std::uint64_t>(shown.file), out);
        out.Append(",\"lines\":[");
        AppendNumber(static_cast<std::uint64_t>(shown.lines.added), out);
        out.Append(',');
        AppendNumber(static_cast<std::uint64_t>(shown.lines.deleted), out);
        out.Append(',');
        AppendNumber(static_cast<std::uint64_t>(shown.lines.changed), out);
        out.Append("],\"differences\":");
        AppendNumber(static_cast<std::uint64_t>(shown.differences), out);
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

void WriteEntries(const TreeReportHead& head, std::span<const TreeEntry> entries,
                  const std::vector<Shown>& shown, ChunkedOutput& out) {
    out.Append("{\"format\":1,\"tops\":[");
    AppendName(head.top1, out);
    out.Append(',');
    AppendName(head.top2, out);
    out.Append("],");
    AppendStatuses(out);
    out.Append(",\r\n\"entries\":[");
    std::size_t next = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        out.Append(i == 0 ? "\r\n[" : ",\r\n[");
        AppendName(entry.path, out);
        out.Append(',');
        AppendNumber(static_cast<std::uint64_t>(entry.status), out);
        out.Append(",\"");
        out.Append(KindLetter(entry.sides[0].kind));
        out.Append(KindLetter(entry.sides[1].kind));
        out.Append('"');
        if (entry.status != EntryStatus::Equal) {
            AppendDetails(entry, shown[next++], out);
        }
        out.Append(']');
    }
    out.Append("]}");
}

// Writes the data blocks of every entry that shows rows, one entry's rows at a time, and
// says what the page shows of each entry that is no equal one.
std::vector<Shown> WriteFiles(std::span<const TreeEntry> entries, const TreeRowsSource& rowsOf,
                              const TreeReportHead& head, const TreeReportLimits& limits,
                              CountingSink& counted, ChunkedOutput& out, TreeReportCounts& counts) {
    std::vector<Shown> shown;
    std::int64_t files = 0;
    for (const TreeEntry& entry : entries) {
        if (entry.status == EntryStatus::Equal) {
            continue;
        }
        if (!ShowsRows(entry)) {
            shown.emplace_back();
            continue;
        }
        shown.push_back(WriteFile(entry, files, rowsOf, head, limits, counted, out));
        if (shown.back().file >= 0) {
            ++files;
            counts.added += shown.back().lines.added;
            counts.deleted += shown.back().lines.deleted;
            counts.changed += shown.back().lines.changed;
        }
    }
    return shown;
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
    TreeReportCounts counts;
    for (const TreeEntry& entry : entries) {
        counts.differences += IsOwnDifference(entry) ? 1 : 0;
    }
    CountingSink counted(sink);
    ChunkedOutput out(counted);
    const std::string top1 = EscapedName(WithReplacementCharacters(head.top1));
    const std::string top2 = EscapedName(WithReplacementCharacters(head.top2));
    std::vector<Shown> shown;
    // The page's markup is a file beside its script and style (report/single/tree.html).
    WriteMarkup(kTreePageMarkup, out, [&](std::string_view name) {
        if (name == "banner") {
            out.Append(kReportBanner);
        } else if (name == "top1" || name == "top2") {
            out.Append(name == "top1" ? top1 : top2);
        } else if (name == "colours") {
            AppendColours(out);
        } else if (name == "style") {
            out.Append(kTreePageStyle);
        } else if (name == "result") {
            out.Append(ResultLine(counts.differences));
        } else if (name == "viewer") {
            WriteViewer(head, out);
        } else if (name == "files") {
            shown = WriteFiles(entries, rowsOf, head, limits, counted, out, counts);
        } else if (name == "entries") {
            WriteEntries(head, entries, shown, out);
        } else if (name == "script") {
            out.Append(JoinedScript(kTreeScript_failure, kTreeScriptParts));
        }
    });
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
