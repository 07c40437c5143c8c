#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/UniqueFd.h"
#include "folders/TreeEntry.h"

namespace tandemix {

// A regular file as a walk found it.
struct FileAtPath {
    std::string path;
    std::uint64_t size = 0;
};

enum class Verdict : std::uint8_t { Same, Different, Unreadable1, Unreadable2 };

struct PairVerdict {
    Verdict verdict = Verdict::Same;
    bool binary = false;  // only looked for when asked
};

// Whether the pair's bytes are to be compared, or are known to differ already (their sizes
// do) and are only looked at for a NUL byte.
enum class PairWork : std::uint8_t { CompareBytes, ProbeOnly };

struct FilePair {
    std::array<const FileAtPath*, 2> files{};
    PairWork work = PairWork::CompareBytes;
};

// Compares file contents byte for byte. Each file is opened once and read from the start
// in pieces of bounded size until the first difference or its end, which need not be where
// the walk found it: a file that changed since is judged by what it holds now. Only files
// the walk found regular are opened, without waiting. Where there are enough pairs, two
// threads share them.
class ContentComparer {
public:
    static constexpr std::size_t kPieceSize = 128 * 1024;

    std::vector<PairVerdict> Compare(std::span<const FilePair> pairs, BinaryCheck check);

    // A fingerprint of each file's bytes (nothing for one that cannot be read): it can only
    // tell files apart or point at files that may be equal.
    std::vector<std::optional<std::uint64_t>> Fingerprints(
        std::span<const FileAtPath* const> files);

    // The folder of the file a thread opened last on one side: the next file of the same
    // folder is opened by its name alone, which saves looking up the whole path again.
    struct OpenFolder {
        std::string path;
        UniqueFd fd;
    };
    // What one thread keeps from file to file.
    struct ThreadState {
        std::array<std::vector<std::byte>, 2> pieces;
        std::array<OpenFolder, 2> folders;
    };

private:
    std::array<ThreadState, 2> threads_;
};

}  // namespace tandemix
