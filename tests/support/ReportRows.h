#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ByteSink.h"
#include "report/ChunkedOutput.h"
#include "report/ReportData.h"

namespace tandemix::testing {

// Rows of the given texts and marks, numbered from 1.
inline TextDocument RowsOf(std::initializer_list<std::pair<std::string_view, LineMark>> rows) {
    TextDocument document(CodePage::None);
    SourceLine number = 0;
    for (const auto& [text, mark] : rows) {
        document.AddMarkedLine(text, mark, ++number);
    }
    return document;
}

// Written between two data blocks; "<" is always escaped inside one.
inline constexpr std::string_view kBetweenBlocks = "<>";

// The one-file report's data blocks of two row lists (of the rows [from, to)), as the writer
// makes them.
inline std::string DataOf(const TextDocument& rows1, const TextDocument& rows2,
                          std::string_view between = kBetweenBlocks,
                          std::size_t pieceBytes = kDataPieceBytes, LineIndex from = 0,
                          LineIndex to = kEveryRow) {
    StringSink sink;
    {
        ChunkedOutput out(sink);
        WriteReportData(rows1, rows2, out, between, pieceBytes, from, to);
    }
    return sink.Take();
}

// The blocks of DataOf's text, cut apart where kBetweenBlocks stands.
inline std::vector<std::string> BlocksOf(const std::string& data) {
    std::vector<std::string> blocks;
    for (std::size_t at = 0;;) {
        const std::size_t end = data.find(kBetweenBlocks, at);
        blocks.push_back(data.substr(at, end - at));
        if (end == std::string::npos) {
            return blocks;
        }
        at = end + kBetweenBlocks.size();
    }
}

inline std::string JsonString(std::string_view bytes) {
    StringSink sink;
    {
        ChunkedOutput out(sink);
        AppendJsonString(bytes, out);
    }
    return sink.Take();
}

}  // namespace tandemix::testing
