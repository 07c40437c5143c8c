#include "report/SingleReport.h"

#include <array>
#include <functional>

#include "report/ByteScan.h"
#include "report/ChunkedOutput.h"
#include "report/PageMarkup.h"
#include "report/ReportData.h"
#include "report/RowColours.h"
#include "report/SinglePageParts.h"

namespace tandemix {
namespace {

bool AllWellFormedUtf8(const TextDocument& rows) {
    for (LineIndex row = 0; row < rows.GetLineCount(); ++row) {
        if (!IsWellFormedUtf8(rows.GetLineText(row))) {
            return false;
        }
        if (const auto title = rows.GetSectionTitle(row); title && !IsWellFormedUtf8(*title)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void AppendColours(ChunkedOutput& out) {
    for (const RowColour& row : kRowColours) {
        out.Append(" --");
        out.Append(row.styleClass);
        out.Append(':');
        out.Append(row.colour);
        out.Append(';');
    }
}

void WriteMarkup(std::string_view markup, ChunkedOutput& out,
                 const std::function<void(std::string_view name)>& fill) {
    for (std::size_t at = markup.find('@'); at != std::string_view::npos; at = markup.find('@')) {
        out.Append(markup.substr(0, at));
        const std::size_t end = markup.find('@', at + 1);
        fill(markup.substr(at + 1, end - at - 1));
        markup.remove_prefix(end + 1);
    }
    out.Append(markup);
}

std::string JoinedScript(std::string_view failure, std::span<const std::string_view> parts) {
    std::string script = "(function () {\r\n'use strict';\r\n";
    script.append(failure).append("\r\ntry {\r\n");
    for (const std::string_view part : parts) {
        script.append("\r\n").append(part);
    }
    return script.append("} catch (error) {\r\nfailure.show(error);\r\n}\r\n})();\r\n");
}

std::string SinglePageScript() {
    return JoinedScript(kSingleScript_failure, kSingleScriptParts);
}

std::string_view PageCharset(const TextDocument& rows1, const TextDocument& rows2,
                             const ReportHead& head) {
    constexpr std::string_view kUtf8 = "utf-8";
    constexpr std::string_view kWindows1252 = "windows-1252";
    switch (head.codePage) {
        case CodePage::Utf8:
            return kUtf8;
        case CodePage::Windows1252:
            return kWindows1252;
        case CodePage::None:
            break;
    }
    const bool utf8 = IsWellFormedUtf8(head.names[0]) && IsWellFormedUtf8(head.names[1]) &&
                      AllWellFormedUtf8(rows1) && AllWellFormedUtf8(rows2);
    return utf8 ? kUtf8 : kWindows1252;
}

void WriteSinglePage(const ReportHead& head, std::string_view charset, ChunkedOutput& out,
                     const std::function<void(SinglePageHole)>& fill) {
    // The page's markup is a file beside its script and style (report/single/page.html).
    WriteMarkup(kSinglePageMarkup, out, [&](std::string_view name) {
        if (name == "banner") {
            out.Append(kReportBanner);
        } else if (name == "charset") {
            out.Append(charset);
        } else if (name == "name1" || name == "name2") {
            fill(name == "name1" ? SinglePageHole::Name1 : SinglePageHole::Name2);
        } else if (name == "colours") {
            AppendColours(out);
        } else if (name == "style") {
            out.Append(kSinglePageStyle);
        } else if (name == "numbers") {
            out.Append(head.lineNumbers == LineNumbers::Shown ? "yes" : "no");
        } else if (name == "result") {
            fill(SinglePageHole::Result);
        } else if (name == "legend") {
            out.Append(Legend({"<b class=\"swatch ", true, "\"></b>&nbsp;<b>", "</b> "}));
        } else if (name == "data") {
            fill(SinglePageHole::Data);
        } else if (name == "script") {
            out.Append(SinglePageScript());
            fill(SinglePageHole::Rest);
        }
    });
}

void WriteSingleReport(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head,
                       ByteSink& sink, std::size_t pieceBytes) {
    ChunkedOutput out(sink);
    // The rows of the first screens stand before the script, which shows them while the
    // browser still reads the rest after it.
    const LineIndex split = FirstScreensEnd(rows1, rows2, pieceBytes);
    WriteSinglePage(head, PageCharset(rows1, rows2, head), out, [&](SinglePageHole hole) {
        switch (hole) {
            case SinglePageHole::Name1:
                out.Append(EscapedName(head.names[0]));
                break;
            case SinglePageHole::Name2:
                out.Append(EscapedName(head.names[1]));
                break;
            case SinglePageHole::Result:
                out.Append(ResultLine(DifferenceCount(rows1, rows2)));
                break;
            case SinglePageHole::Data:
                WriteReportData(rows1, rows2, out, kDataPieceBetween, pieceBytes, 0, split);
                break;
            case SinglePageHole::Rest:
                if (split < RowCountOf(rows1, rows2)) {
                    out.Append(kDataPieceBetween);
                    WriteReportData(rows1, rows2, out, kDataPieceBetween, pieceBytes, split);
                }
                break;
        }
    });
}

}  // namespace tandemix
