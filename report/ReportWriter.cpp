#include "report/ReportWriter.h"

#include <cstdint>

#include "base/CodePage.h"
#include "base/SideBySide.h"
#include "document/LineMark.h"
#include "report/ByteScan.h"
#include "report/PageFragments.h"
#include "report/ReportScripts.h"
#include "report/RowColours.h"

namespace tandemix {
namespace {

namespace f = fragments;

constexpr std::string_view kSpace = "&nbsp;";
constexpr std::string_view kTab = "&nbsp;&nbsp;&nbsp;&nbsp;";

// The first "<", ">" or "&" at or after `from`, or the text's size.
std::size_t FindMarkupByte(std::string_view text, std::size_t from) {
    return FindFirstByte(
        text, from,
        [](std::uint64_t word) {
            return HasByte(word, '<') | HasByte(word, '>') | HasByte(word, '&');
        },
        [](unsigned char c) { return c == '<' || c == '>' || c == '&'; });
}

// Browsers no longer assume the system's code page, so the pages name the one of their texts.
std::string_view CodePageDeclaration(CodePage codePage) {
    switch (codePage) {
        case CodePage::Utf8:
            return f::kUtf8Declaration;
        case CodePage::Windows1252:
            return f::kWindows1252Declaration;
        case CodePage::None:
            break;
    }
    return {};
}

void AppendHeadStart(CodePage codePage, std::string& page) {
    page.append(kReportBanner).append(f::kDoctype).append(f::kHeadStart);
    page.append(CodePageDeclaration(codePage)).append(f::kTitle);
}

std::string SideHead(LineIndex rowCount, CodePage codePage) {
    std::string head;
    AppendHeadStart(codePage, head);
    head.append(f::kSideStyleStart);
    AppendRowColourRules(head, "background");
    head.append(f::kSideStyleEnd);
    head.append(rowCount > 0 ? f::kRowsStart : f::kEmptyFolder);
    return head;
}

// The HTML form of one row's text: indentation kept, markup bytes escaped.
void AppendEscapedLine(std::string_view text, std::string& out) {
    if (text.empty()) {
        out.append(kSpace);
        return;
    }
    std::size_t at = 0;
    for (; at < text.size() && (text[at] == ' ' || text[at] == '\t'); ++at) {
        out.append(text[at] == ' ' ? kSpace : kTab);
    }
    while (at < text.size()) {
        const std::size_t plainEnd = FindMarkupByte(text, at);
        out.append(text, at, plainEnd - at);
        if (plainEnd == text.size()) {
            break;
        }
        const char c = text[plainEnd];
        out.append(c == '<' ? "&lt;" : c == '>' ? "&gt;" : "&amp;");
        at = plainEnd + 1;
    }
}

// A side page goes to its sink piece by piece, so that no page is ever whole in memory.
constexpr std::size_t kPieceSize = kPagePieceSize;

void AppendRow(const TextDocument& rows, LineIndex r, LineNumbers lineNumbers, std::string& page) {
    page.append(f::kRowStart).append(f::RowClassOf(rows.GetMark(r))).push_back('>');
    if (lineNumbers == LineNumbers::Shown) {
        page.append(f::kNumberStart);
        page.append(Decimal(r).Text());
        page.append(f::kNumberEnd);
    }
    page.push_back(' ');
    AppendEscapedLine(rows.GetLineText(r), page);
    page.append(f::kRowEnd);
}

void WriteSidePage(const TextDocument& rows, std::string_view head, LineNumbers lineNumbers,
                   ByteSink& sink) {
    std::string piece;
    piece.reserve(kPieceSize + kPieceSize / 4);
    piece.append(head);
    const LineIndex count = rows.GetLineCount();
    for (LineIndex r = 0; r < count; ++r) {
        AppendRow(rows, r, lineNumbers, piece);
        if (piece.size() >= kPieceSize) {
            sink.Append(piece);
            piece.clear();
        }
    }
    if (count > 0) {
        piece.append(f::kRowsEnd);
    }
    piece.append(f::kSideEnd);
    sink.Append(piece);
}

std::string TopPage(LineIndex differenceCount, const std::array<std::string_view, 2>& names,
                    CodePage codePage) {
    std::string page;
    AppendHeadStart(codePage, page);
    page.append(f::kTopStyle);
    AppendRowColourRules(page, "background-color");
    page.append(f::kTopStyleEnd);
    page.append(f::kScriptStart).append(kSearchScript).append(f::kScriptEnd);
    page.append(f::kScriptStart).append(kViewScript).append(f::kScriptEnd);
    page.append(f::kTopBodyStart);
    page.append(f::kResultStart).append(ResultLine(differenceCount));
    page.append(f::kLegendStart).append(Legend(f::kLegend)).append(f::kLegendEnd);
    page.append(f::kTextSizeChooser).append(f::kCredit).append(f::kControls);
    page.append(f::kNamesStart);
    page.append(EscapedName(names[0]));
    page.append(f::kNamesBetween);
    page.append(EscapedName(names[1]));
    page.append(f::kNamesEnd).append(f::kTopEnd);
    return page;
}

}  // namespace

void WriteFramedReport(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head,
                       const PageSinks& sinks) {
    const CodePage codePage = head.codePage;
    const LineNumbers lineNumbers = head.lineNumbers;
    sinks.top.Append(TopPage(DifferenceCount(rows1, rows2), head.names, codePage));
    // Both row lists are equally long, so the first decides the shared opener.
    const std::string opener = SideHead(rows1.GetLineCount(), codePage);
    // Writing a few thousand rows takes less than starting a thread.
    constexpr LineIndex kRowsWorthSharing = 8192;
    const Sharing sharing =
        rows1.GetLineCount() < kRowsWorthSharing ? Sharing::OneAfterTheOther : Sharing::SideBySide;
    RunSideBySide(
        sharing, [&] { WriteSidePage(rows1, opener, lineNumbers, sinks.sides[0]); },
        [&] { WriteSidePage(rows2, opener, lineNumbers, sinks.sides[1]); });
}

}  // namespace tandemix
