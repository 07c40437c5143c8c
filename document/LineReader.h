#pragma once

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "document/InputProblem.h"

namespace tandemix {

// A whole file in memory; owner keeps the bytes alive.
struct FileBytes {
    std::shared_ptr<const void> owner;
    std::string_view bytes;
};

// A file read whole, or why it could not be.
struct FileRead {
    std::optional<FileBytes> file;
    InputProblem problem;
};

// Reads every byte of a regular file, following links. A pipe, device or socket is refused
// without being read, since it might never end, and so is a file of more than mostBytes;
// a file that grows past that while it is read is refused too.
FileRead ReadFileBytes(const std::string& path, std::uint64_t mostBytes);

// A byte 0x1A ends the text: what follows it is never read.
inline std::string_view TextBeforeEndMark(std::string_view text) {
    return text.substr(0, text.find('\x1A'));
}

// Calls onLine for every line of the text. A line ends at a line feed; a carriage return
// right before it is not part of the line, one anywhere else is. A last line without a
// line feed is a line; a final line feed does not start another one.
template <class OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine) {
    const char* next = text.data();
    const char* const end = text.data() + text.size();
    while (next != end) {
        const auto* feed = static_cast<const char*>(std::memchr(next, '\n', end - next));
        if (feed == nullptr) {
            onLine(std::string_view(next, end - next));
            return;
        }
        const char* lineEnd = (feed != next && feed[-1] == '\r') ? feed - 1 : feed;
        onLine(std::string_view(next, lineEnd - next));
        next = feed + 1;
    }
}

// An upper bound of the number of lines, to size containers once.
std::size_t CountLineFeeds(std::string_view text);

}  // namespace tandemix
