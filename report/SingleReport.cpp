#include "report/SingleReport.h"

#include <array>
#include <charconv>
#include <functional>

#include "base/FileReplacement.h"
#include "report/ByteScan.h"
#include "report/ChunkedOutput.h"
#include "report/ReportData.h"
#include "report/RowColours.h"
#include "report/SinglePageFragments.h"
#include "report/SinglePageParts.h"

namespace tandemix {
namespace {

namespace f = single_fragments;

}  // namespace

void AppendResult(LineIndex differenceCount, ChunkedOutput& out) {
    if (differenceCount == 0) {
        out.Append(f::kResultNone);
        return;
    }
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), differenceCount).ptr;
    out.Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    out.Append(f::kResultCountEnd);
}

namespace {

void AppendLegend(ChunkedOutput& out) {
    out.Append(f::kLegendStart);
    for (const RowColour& row : kRowColours) {
        out.Append(f::kLegendBoxStart);
        out.Append(row.styleClass);
        out.Append(f::kLegendBoxEnd);
        out.Append(row.legendWord);
        out.Append(f::kLegendWordEnd);
    }
}

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

std::string SinglePageScript() {
    std::string script = "(function () {\r\n'use strict';\r\n";
    script.append(kSingleScript_failure).append("\r\ntry {\r\n");
    for (const std::string_view part : kSingleScriptParts) {
        script.append("\r\n").append(part);
    }
    return script.append("} catch (error) {\r\nfailure.show(error);\r\n}\r\n})();\r\n");
}

std::string_view PageCharset(const TextDocument& rows1, const TextDocument& rows2,
                             const SingleReportHead& head) {
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
    const bool utf8 = IsWellFormedUtf8(head.name1) && IsWellFormedUtf8(head.name2) &&
                      AllWellFormedUtf8(rows1) && AllWellFormedUtf8(rows2);
    return utf8 ? kUtf8 : kWindows1252;
}

void AppendColours(ChunkedOutput& out) {
    for (const RowColour& row : kRowColours) {
        out.Append(" --");
        out.Append(row.styleClass);
        out.Append(':');
        out.Append(row.colour);
        out.Append(';');
    }
}

void WriteSinglePage(const SingleReportHead& head, std::string_view charset, ChunkedOutput& out,
                     const std::function<void(SinglePageHole)>& fill) {
    out.Append(f::kPageStart);
    out.Append(charset);
    out.Append(f::kTitleStart);
    fill(SinglePageHole::TitleName1);
    out.Append(f::kTitleBetween);
    fill(SinglePageHole::TitleName2);
    out.Append(f::kTitleEnd);
    out.Append(f::kColoursStart);
    AppendColours(out);
    out.Append(f::kColoursEnd);
    out.Append(kSinglePageStyle);
    out.Append(f::kHeadEnd);

    out.Append(f::kBodyStart);
    out.Append(head.lineNumbers == LineNumbers::Shown ? "yes" : "no");
    out.Append(f::kResultStart);
    fill(SinglePageHole::Result);
    AppendLegend(out);
    out.Append(f::kControls);
    fill(SinglePageHole::Name1);
    out.Append(f::kNamesBetween);
    fill(SinglePageHole::Name2);
    out.Append(f::kNamesEnd);

    fill(SinglePageHole::Data);
    out.Append(f::kScriptStart);
    out.Append(SinglePageScript());
    out.Append(f::kPageEnd);
}

void WriteSingleReport(const TextDocument& rows1, const TextDocument& rows2,
                       const SingleReportHead& head, ByteSink& sink, std::size_t pieceBytes) {
    ChunkedOutput out(sink);
    WriteSinglePage(head, PageCharset(rows1, rows2, head), out, [&](SinglePageHole hole) {
        switch (hole) {
            case SinglePageHole::TitleName1:
            case SinglePageHole::Name1:
                out.Append(EscapedName(head.name1));
                break;
            case SinglePageHole::TitleName2:
            case SinglePageHole::Name2:
                out.Append(EscapedName(head.name2));
                break;
            case SinglePageHole::Result:
                AppendResult(DifferenceCount(rows1, rows2), out);
                break;
            case SinglePageHole::Data:
                WriteReportData(rows1, rows2, out, f::kDataBetween, pieceBytes);
                break;
        }
    });
}

bool WriteSingleReportFile(const std::string& path, const TextDocument& rows1,
                           const TextDocument& rows2, const SingleReportHead& head, DebugLog& log) {
    FileReplacement file(path);
    WriteSingleReport(rows1, rows2, head, file);
    if (file.Commit()) {
        return true;
    }
    log.Write(CannotCreateLine(path));
    return false;
}

}  // namespace tandemix
