#pragma once

namespace tandemix {

// How the one-file report's data blocks code a row of one side: one character, this code
// plus the row's LineMark. The page's script reads the same values from a part generated
// from this header (report/single/write_codes.cpp), so the two cannot drift apart.
enum class RowCode : char {
    Line = '0',         // plus the mark: a line whose text is the side's next text
    Placeholder = 'a',  // plus the mark: no line on this side
    SameText = 'A',     // plus the mark, second side only: a line with the first side's text
};

}  // namespace tandemix
