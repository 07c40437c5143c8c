#pragma once

// The three ways of turning a file's bytes into lines, written out as literally as they are
// defined, as the oracle that the loader must agree with line for line.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ComparisonOptions.h"

namespace tandemix::fuzz {

struct LiteralLine {
    std::string text;
    // The number of the line in the file that it comes from; 0 where lines are renumbered.
    std::uint32_t sourceLine = 0;
};

// Lines end at a line feed, without a carriage return right before it; 0x1A ends the text.
inline std::vector<std::string> LiteralFileLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t feed = bytes.find('\n');
        std::string line(bytes.substr(0, feed));
        if (feed == std::string_view::npos) {
            lines.push_back(std::move(line));
            break;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        bytes.remove_prefix(feed + 1);
    }
    return lines;
}

inline std::string LiteralStripTags(std::string text) {
    constexpr std::size_t kLongestTag = 200;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        std::size_t offset = 1;
        for (; offset < kLongestTag; ++offset) {
            if (at + offset == text.size() || text[at + offset] == '<') {
                text.replace(at, 1, "&st;");
                at += 4;
                break;
            }
            if (text[at + offset] == '>') {
                text.erase(at, offset + 1);
                break;
            }
        }
        if (offset == kLongestTag) {
            break;
        }
    }
    return text;
}

inline std::vector<LiteralLine> LiteralTagFreeLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            joined += line + '\r';
        }
    }
    std::vector<LiteralLine> result;
    std::string current;
    for (const char c : LiteralStripTags(joined)) {
        if (c != '\r' && c != '\n') {
            current.push_back(c);
            continue;
        }
        const std::size_t first = current.find_first_not_of(" \t\n\v\f\r");
        if (first != std::string::npos) {
            result.push_back({current.substr(first) + "\r\n", 0});
        }
        current.clear();
    }
    return result;
}

inline std::vector<LiteralLine> LiteralLoad(std::string_view bytes,
                                            const ComparisonOptions& options) {
    const std::vector<std::string> lines = LiteralFileLines(bytes);
    if (options.deleteAllTags) {
        return LiteralTagFreeLines(lines);
    }
    std::vector<LiteralLine> result;
    std::uint32_t sourceLine = 0;
    for (const std::string& line : lines) {
        ++sourceLine;
        const auto tagEnds = std::count(line.begin(), line.end(), '>');
        if (!options.breakAfterEachTag || tagEnds < 2) {
            if (options.keepEmptyLines || !line.empty()) {
                result.push_back({line, sourceLine});
            }
            continue;
        }
        // Pieces up to each ">", then whatever follows the last one.
        std::size_t start = 0;
        for (std::size_t close = line.find('>'); close != std::string::npos;
             close = line.find('>', start)) {
            result.push_back({line.substr(start, close + 1 - start), sourceLine});
            start = close + 1;
        }
        if (start < line.size()) {
            result.push_back({line.substr(start), sourceLine});
        }
    }
    return result;
}

}  // namespace tandemix::fuzz
