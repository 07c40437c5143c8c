#pragma once

#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "base/DebugLog.h"
#include "document/TextDocument.h"

namespace tandemix {

enum class LineNumbers { Hidden, Shown };

// The three generated pages of one comparison.
struct ReportPages {
    std::string top;
    std::string page1;
    std::string page2;
};

// Where the three pages go as they are generated.
struct PageSinks {
    ByteSink& top;
    ByteSink& page1;
    ByteSink& page2;
};

// Turns two aligned row lists into the top page and the two side pages. The pages declare
// the code page of the rows' texts, that of the first row list.
class ReportWriter {
public:
    // The pages in memory.
    void GeneratePages(const TextDocument& rows1, const TextDocument& rows2, ReportPages& pages,
                       LineNumbers lineNumbers, std::string_view name1,
                       std::string_view name2) const;

    // The same bytes, handed to the sinks in pieces as they are made, so that memory does
    // not grow with the pages. The side pages are written at the same time, each from a
    // thread of its own.
    void WritePages(const TextDocument& rows1, const TextDocument& rows2, const PageSinks& sinks,
                    LineNumbers lineNumbers, std::string_view name1, std::string_view name2) const;

    // Writes the text as it is, replacing the file whole or not at all. On failure it
    // logs "error : cannot create PATH" and returns false.
    bool WritePage(const std::string& path, std::string_view text, DebugLog& log) const;
};

// The HTML form of one row's text.
std::string EscapeLine(std::string_view text);
void AppendEscapedLine(std::string_view text, std::string& out);

// The number of differences the top page states.
LineIndex DifferenceCount(const TextDocument& rows1, const TextDocument& rows2);

}  // namespace tandemix
