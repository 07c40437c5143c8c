#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/SideBySide.h"
#include "base/UniqueFd.h"
#include "folders/FirstPieceReader.h"
#include "folders/TreeEntry.h"

namespace tandemix {

// A regular file as a walk found it.
struct FileAtPath {
    std::size_t side = 0;               // of the comparison: 0 or 1
    const std::string* path = nullptr;  // below that side's folder; "" for the compared file

    // Nothing when the walk did not ask: the file's size is then learnt once it is open.
    std::optional<std::uint64_t> size;
    // The open folder holding the file, or -1: then the file is found from the top.
    int folder = -1;
};

enum class Verdict : std::uint8_t { Same, Different, Unreadable1, Unreadable2 };

struct PairVerdict {
    Verdict verdict = Verdict::Same;
    bool binary = false;  // only looked for when asked
    // Of the readable files: as given, or as found on opening where none was given.
    std::array<std::uint64_t, 2> sizes{};
};

// Whether the pair's bytes are to be compared, or are known to differ already (their sizes
// do) and are only looked at for a NUL byte. Files of unknown size are read at once; their
// sizes decide after the first piece, which most files end within.
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

    // The two compared folders (or files), which the paths of the files are below; with
    // Sharing::OneAfterTheOther all files are read on the caller's thread.
    ContentComparer(const std::array<std::string, 2>& tops, Sharing sharing);

    std::vector<PairVerdict> Compare(std::span<const FilePair> pairs, BinaryCheck check);

    // A fingerprint of each file's bytes (nothing for one that cannot be read): it can only
    // tell files apart or point at files that may be equal.
    std::vector<std::optional<std::uint64_t>> Fingerprints(
        std::span<const FileAtPath* const> files);

    // The size of each file as it is now (nothing for one that is gone or not regular).
    std::vector<std::optional<std::uint64_t>> Sizes(std::span<const FileAtPath* const> files);

    // Where a thread opens files: below the two folders held open, which saves looking
    // up their paths again for each file.
    struct Tops {
        const std::array<std::string, 2>& paths;
        std::array<UniqueFd, 2> fds;
    };
    // What one thread keeps from file to file.
    struct ThreadState {
        // Left uninitialised: a small file touches only the first pages of its piece.
        std::array<std::unique_ptr<std::byte[]>, 2> pieces;

        std::span<std::byte> Piece(std::size_t side) const {
            return {pieces[side].get(), kPieceSize};
        }
        // Reading leaves the access times alone where the user may ask for it (owner or
        // privileged); after the first refusal files are opened as usual.
        bool keepAccessTimes = true;
        // Reads the first pieces of a batch of pairs at once, where the system allows.
        std::unique_ptr<FirstPieceReader> ring;
        bool ringTried = false;
    };

private:
    Tops tops_;
    Sharing sharing_;
    std::array<ThreadState, 2> threads_;
};

}  // namespace tandemix
