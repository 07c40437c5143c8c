#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tandemix {

// Removes every tag: a "<" with a ">" at most 199 bytes further on and no "<" before it.
// A "<" that meets another "<" or the end of the text first becomes "&st;". A "<" with
// neither within 199 bytes ends the stripping: it and all after it stay as they are.
// Throws std::bad_alloc when the working storage cannot be had.
std::string StripTags(std::string_view text);

// The lines of a file in tag-removal mode, back to back, each ending with "\r\n": the
// non-empty lines are joined, stripped of tags, broken again at every carriage return and
// line feed, and kept without leading white space when anything is left of them.
std::string TagFreeLines(std::string_view fileText);

// Break-after-tag mode for one line with two or more ">": calls onPiece for the text up to
// and including each ">", then once more for the text after the last ">" when there is
// any, so that no byte of the line is lost.
template <class OnPiece>
void ForEachPieceAfterTags(std::string_view line, OnPiece&& onPiece) {
    std::size_t start = 0;
    for (auto close = line.find('>'); close != std::string_view::npos;
         close = line.find('>', start)) {
        onPiece(line.substr(start, close + 1 - start));
        start = close + 1;
    }
    if (start < line.size()) {
        onPiece(line.substr(start));
    }
}

inline std::size_t CountTagEnds(std::string_view line) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), '>'));
}

}  // namespace tandemix
