#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tandemix {

struct FileContent {
    std::uint64_t size = 0;         // bytes read
    std::uint64_t fingerprint = 0;  // ContentHash of those bytes
};

// One regular file of a folder to read, and what was found.
struct ContentRequest {
    const char* name = nullptr;
    dev_t device = 0;  // of the file as it was listed, so a replaced file is not read
    ino_t inode = 0;
    std::uint64_t listedSize = 0;
    std::optional<FileContent> content;  // nothing when the file could not be read
};

// Reads files to fingerprint their contents: each once, from start to end, through a
// buffer of fixed size, never more than the size the file has when it is opened (files
// of pseudo file systems that claim no size are read as empty). Only regular files are
// opened, and without waiting, so a file replaced by a fifo meanwhile cannot block.
class FileContentReader {
public:
    static constexpr std::size_t kBufferSize = 128 * 1024;

    // Fills in the content of each request; the files of a folder with enough to read are
    // shared between two threads.
    void Read(int folderFd, std::span<ContentRequest> requests);

private:
    std::array<std::vector<std::byte>, 2> buffers_;
};

}  // namespace tandemix
