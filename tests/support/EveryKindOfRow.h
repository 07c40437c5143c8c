#pragma once

#include <string_view>

#include "document/LineMark.h"
#include "document/TextDocument.h"

namespace tandemix::testing {

// Two row lists with every kind of row the report data carries: shared and own texts, line
// feeds inside lines, jumps in the line numbers, placeholders, sections with names that need
// escaping, and a kept empty line.
inline void AddEveryKindOfRow(TextDocument& rows1, TextDocument& rows2) {
    const auto pair = [&](std::string_view a, LineMark m1, SourceLine n1, std::string_view b,
                          LineMark m2, SourceLine n2) {
        rows1.AddMarkedLine(a, m1, n1);
        rows2.AddMarkedLine(b, m2, n2);
    };
    pair("same", LineMark::MarkUnchanged, 1, "same", LineMark::MarkUnchanged, 1);
    // Equal under ignored case: each side keeps its own text.
    pair("Abc", LineMark::MarkUnchanged, 2, "abc", LineMark::MarkUnchanged, 2);
    // Lines may hold line feeds of their own (with tags removed they end in one).
    pair("x\r\n", LineMark::MarkUnchanged, 3, "\ny\n\n", LineMark::MarkUnchanged, 3);
    // Empty lines were dropped before these: the numbers jump.
    pair("old", LineMark::MarkChanged, 5, "new", LineMark::MarkChanged, 3);
    rows1.AddMarkedLine("gone", LineMark::MarkDeleted, 6);
    rows2.AddEmptyLine();
    rows1.AddEmptyLine();
    rows2.BeginSection("sub/folder");
    rows2.AddMarkedLine("came", LineMark::MarkAdded, 4);
    // A kept empty line is a line, not a placeholder.
    pair("", LineMark::MarkUnchanged, 7, "", LineMark::MarkUnchanged, 5);
    rows1.BeginSection("tail \"quoted\" <b>");
    pair("same", LineMark::MarkUnchanged, 8, "same", LineMark::MarkUnchanged, 6);
}

}  // namespace tandemix::testing
