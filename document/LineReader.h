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
    // A NUL byte in the first bytes, where the reader was asked to look: nothing more read.
    bool binary = false;
};

// Reads every byte of a regular file, following links. A pipe, device or socket is refused
// without being read, since it might never end, and so is a file of more than mostBytes;
// a file that grows past that while it is read is refused too. With probeBytes, a file with
// a NUL byte among its first probeBytes is not read further and counts as binary.
FileRead ReadFileBytes(const std::string& path, std::uint64_t mostBytes,
                       std::size_t probeBytes = 0);

// The same for a file that a folder walk found regular, at path below the folder held open
// (AT_FDCWD for none): it is opened without being looked at first. With the size the walk
// found, a file that ends there is read without asking for its size or a read past its end;
// one that does not is looked at then, and refused if it is no regular file any more.
FileRead ReadFoundFileBytes(int folder, const char* path, std::optional<std::uint64_t> foundSize,
                            std::uint64_t mostBytes, std::size_t probeBytes = 0);

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
