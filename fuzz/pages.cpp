// Generates the report pages from fuzzed rows and names and checks that no byte of a row
// text or a name becomes markup. Byte 0 shows line numbers when its low bit is set. The
// rest is a sequence of FuzzedDataProvider strings (each ended by a backslash and any byte
// but another backslash, which stands for one backslash): the two names, then the rows,
// side 1 and side 2 in turn. A row's first byte gives its mark (its two low bits), the
// others its text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "document/LineMark.h"
#include "document/TextDocument.h"
#include "report/PageFragments.h"
#include "report/ReportWriter.h"

namespace tandemix::fuzz {
namespace {

namespace f = fragments;

struct Entity {
    std::string_view markup;
    char byte;
};

// What the escaping may write for a byte; "&nbsp;" stands for a blank.
constexpr Entity kEntities[] = {
    {"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'},
};

// The text that escaped markup shows, checking that it holds no "<" or ">" and that every
// "&" begins an entity of the escaping.
std::string Unescape(std::string_view markup) {
    std::string shown;
    for (std::size_t at = 0; at < markup.size(); ++at) {
        Check(markup[at] != '<' && markup[at] != '>', "raw < or > in escaped text");
        if (markup[at] != '&') {
            shown.push_back(markup[at]);
            continue;
        }
        const Entity* entity = nullptr;
        for (const Entity& candidate : kEntities) {
            if (markup.substr(at).starts_with(candidate.markup)) {
                entity = &candidate;
            }
        }
        Check(entity != nullptr, "& that begins no entity of the escaping");
        shown.push_back(entity->byte);
        at += entity->markup.size() - 1;
    }
    return shown;
}

// A row text as its escaped form shows it: leading tabs as four blanks, nothing as a blank.
std::string Shown(std::string_view text) {
    if (text.empty()) {
        return " ";
    }
    std::string shown;
    std::size_t at = 0;
    for (; at < text.size() && (text[at] == ' ' || text[at] == '\t'); ++at) {
        shown.append(text[at] == ' ' ? " " : "    ");
    }
    return shown.append(text.substr(at));
}

// Takes the expected text off the front of the page.
void Expect(std::string_view& page, std::string_view text, std::string_view what) {
    Check(page.starts_with(text), what);
    page.remove_prefix(text.size());
}

// Takes the text before the marker, and the marker, off the front of the page.
std::string_view TakeUntil(std::string_view& page, std::string_view marker, std::string_view what) {
    const std::size_t at = page.find(marker);
    Check(at != std::string_view::npos, what);
    const std::string_view before = page.substr(0, at);
    page.remove_prefix(at + marker.size());
    return before;
}

void CheckSidePage(std::string_view page, const TextDocument& rows, LineNumbers lineNumbers) {
    if (rows.GetLineCount() == 0) {
        Check(page.ends_with(std::string(f::kEmptyFolder) + std::string(f::kSideEnd)),
              "a page without rows says so");
        return;
    }
    TakeUntil(page, f::kRowsStart, "rows table opened");
    for (LineIndex r = 0; r < rows.GetLineCount(); ++r) {
        Expect(page, f::kRowStart, "row opened");
        Expect(page, f::RowClassOf(rows.GetMark(r)), "class of the row's mark");
        Expect(page, ">", "row tag closed");
        if (lineNumbers == LineNumbers::Shown) {
            Expect(page,
                   std::string(f::kNumberStart) + std::to_string(r) + std::string(f::kNumberEnd),
                   "row number");
        }
        Expect(page, " ", "blank before the text");
        // Escaped text holds no "<", so the first end tag is the row's own.
        Check(Unescape(TakeUntil(page, f::kRowEnd, "row closed")) == Shown(rows.GetLineText(r)),
              "row shows its text, every byte of it");
    }
    Expect(page, f::kRowsEnd, "rows table closed after the last row");
    Check(page == f::kSideEnd, "page ends after the rows");
}

void CheckNames(std::string_view top, std::string_view name1, std::string_view name2) {
    TakeUntil(top, f::kNamesStart, "names row");
    Check(Unescape(TakeUntil(top, f::kNamesBetween, "names row parted")) == name1,
          "names row shows name 1");
    const std::string_view escaped2 = TakeUntil(top, f::kNamesEnd, "names row ended");
    Check(Unescape(escaped2) == name2, "names row shows name 2");
    Check(escaped2.find('"') == std::string_view::npos, "no raw quote in a name");
}

void CheckCount(std::string_view top, const TextDocument& rows1, const TextDocument& rows2) {
    LineIndex count = 0;
    for (LineIndex r = 0; r < rows1.GetLineCount(); ++r) {
        count += rows1.GetMark(r) != LineMark::MarkUnchanged;
        count +=
            rows2.GetMark(r) == LineMark::MarkAdded || rows2.GetMark(r) == LineMark::MarkDeleted;
    }
    const std::string result = std::string(f::kResultStart) + ResultLine(count);
    Check(top.find(result) != std::string_view::npos, "difference count");
}

void AddRow(TextDocument& rows, std::string_view record) {
    if (record.empty()) {
        rows.AddEmptyLine();
        return;
    }
    const auto mark = static_cast<LineMark>(static_cast<unsigned char>(record[0]) & 3);
    rows.AddMarkedLine(record.substr(1), mark);
}

}  // namespace
}  // namespace tandemix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandemix;
    using namespace tandemix::fuzz;
    if (size == 0) {
        return 0;
    }
    const LineNumbers lineNumbers = (data[0] & 1) != 0 ? LineNumbers::Shown : LineNumbers::Hidden;
    FuzzedDataProvider provider(data + 1, size - 1);
    const std::string name1 = provider.ConsumeRandomLengthString();
    const std::string name2 = provider.ConsumeRandomLengthString();
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    while (provider.remaining_bytes() > 0) {
        AddRow(rows1, provider.ConsumeRandomLengthString());
        AddRow(rows2, provider.ConsumeRandomLengthString());
    }

    StringSink top;
    StringSink page1;
    StringSink page2;
    WriteFramedReport(rows1, rows2, {{name1, name2}, CodePage::None, lineNumbers},
                      {top, {page1, page2}});
    CheckSidePage(page1.Text(), rows1, lineNumbers);
    CheckSidePage(page2.Text(), rows2, lineNumbers);
    CheckNames(top.Text(), name1, name2);
    CheckCount(top.Text(), rows1, rows2);
    return 0;
}
