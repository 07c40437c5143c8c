// Writes rows of every kind as the one-file report's data blocks, and the rows they hold, for
// rows.test.js to read back with the page's own decoder. Prints one JSON array of cases:
//   {"name":…,"pieceBytes":N,"blocks":["<block>",…],"expected":[[row,…],[row,…]]}
// with each row {"line":bool,"text":"…","mark":M,"number":N,"section":"…"|null,
// "ignored":[begin,end,…]}. Strings
// carry the bytes as they are above 0x7F: read the output as Latin-1.

#include <array>
#include <cstddef>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteSink.h"
#include "base/ComparisonOptions.h"
#include "diff/DifferenceEngine.h"
#include "report/ReportData.h"
#include "support/EveryKindOfRow.h"
#include "support/ReportRows.h"

namespace {

using namespace tandemix;

using testing::JsonString;

std::string Blocks(const TextDocument& rows1, const TextDocument& rows2, std::size_t pieceBytes) {
    std::string blocks;
    for (const std::string& block :
         testing::BlocksOf(testing::DataOf(rows1, rows2, testing::kBetweenBlocks, pieceBytes))) {
        blocks.append(blocks.empty() ? "" : ",").append(JsonString(block));
    }
    return blocks;
}

std::string Expected(const TextDocument& rows) {
    std::string out;
    for (LineIndex row = 0; row < rows.GetLineCount(); ++row) {
        const bool placeholder = rows.GetSourceLine(row) == 0 && rows.GetLineText(row).empty();
        const auto title = rows.GetSectionTitle(row);
        out.append(row == 0 ? "{" : ",{")
            .append("\"line\":")
            .append(placeholder ? "false" : "true")
            .append(",\"text\":")
            .append(JsonString(rows.GetLineText(row)))
            .append(",\"mark\":")
            .append(std::to_string(static_cast<int>(rows.GetMark(row))))
            .append(",\"number\":")
            .append(std::to_string(placeholder ? 0 : rows.GetSourceLine(row)))
            .append(",\"section\":")
            .append(title ? JsonString(*title) : "null")
            .append(",\"ignored\":[");
        std::string_view comma;
        for (const TextSpan span : rows.GetIgnoredText(row)) {
            out.append(comma)
                .append(std::to_string(span.begin))
                .append(",")
                .append(std::to_string(span.end));
            comma = ",";
        }
        out.append("]}");
    }
    return out;
}

void EveryByteValue(TextDocument& rows1, TextDocument& rows2) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    const std::string reversed(all.rbegin(), all.rend());
    rows1.AddMarkedLine(all, LineMark::MarkUnchanged, 1);
    rows2.AddMarkedLine(all, LineMark::MarkUnchanged, 1);
    rows1.AddMarkedLine(reversed, LineMark::MarkChanged, 2);
    rows2.AddMarkedLine(all + reversed, LineMark::MarkChanged, 2);
    rows1.BeginSection(all);
    rows1.AddMarkedLine(std::string(1, '\0'), LineMark::MarkDeleted, 3);
    rows2.AddEmptyLine();
}

// Rows of nothing but escapes, the longest a byte can become, and one larger than a block.
void LongEscapedRows(TextDocument& rows1, TextDocument& rows2) {
    for (SourceLine n = 1; n <= 300; ++n) {
        rows1.AddMarkedLine(std::string(40, '\x01'), LineMark::MarkChanged, n);
        rows2.AddMarkedLine(std::string(n == 150 ? 30000 : 40, '\x02'), LineMark::MarkChanged, n);
    }
}

// Rows of inputs under a text pattern: equal, changed, shared and one-sided rows with parts
// that do not count, bytes above 0x7F among them.
void IgnoredText(TextDocument& rows1, TextDocument& rows2) {
    ComparisonOptions options;
    options.ignoredText = {"[0-9]+"};
    std::array<TextDocument, 2> inputs{TextDocument(CodePage::None), TextDocument(CodePage::None)};
    const std::array<std::vector<std::string_view>, 2> lines{
        {{"at 12:30 \xe9t\xe9 1", "x1y22z", "same 5", "a1", "gone 4"},
         {"at 13:45 \xe9t\xe9 2", "x9y8z", "same 5", "b2", "new 3 and 33"}}};
    for (std::size_t side = 0; side < 2; ++side) {
        inputs[side].AddOptions(BuildOptionMap(options));
        for (const std::string_view line : lines[side]) {
            inputs[side].AddLine(line);
        }
    }
    ComputeDifferences(inputs[0], inputs[1], rows1, rows2, Alignment::Minimal);
}

void NoRows(TextDocument&, TextDocument&) {}

}  // namespace

int main() {
    struct Case {
        const char* name;
        std::function<void(TextDocument&, TextDocument&)> fill;
    };
    const Case cases[] = {{"every kind of row", testing::AddEveryKindOfRow},
                          {"every byte value", EveryByteValue},
                          {"long escaped rows", LongEscapedRows},
                          {"ignored text", IgnoredText},
                          {"no rows", NoRows}};
    std::string out = "[";
    for (const Case& c : cases) {
        TextDocument rows1(CodePage::None);
        TextDocument rows2(CodePage::None);
        c.fill(rows1, rows2);
        // Whole, in blocks of a few rows, and one row to a block.
        for (const std::size_t pieceBytes :
             {kDataPieceBytes, std::size_t{20000}, std::size_t{700}, std::size_t{1}}) {
            out.append(out.size() > 1 ? ",\n{" : "{")
                .append("\"name\":")
                .append(JsonString(c.name))
                .append(",\"pieceBytes\":")
                .append(std::to_string(pieceBytes))
                .append(",\"blocks\":[")
                .append(Blocks(rows1, rows2, pieceBytes))
                .append("],\"expected\":[[")
                .append(Expected(rows1))
                .append("],[")
                .append(Expected(rows2))
                .append("]]}");
        }
    }
    std::cout << out << "]\n";
    return std::cout.good() ? 0 : 1;
}
