#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "base/UniqueFd.h"

namespace tandemix {

// Opens many files and reads the first piece of each with one system call for them all,
// where the system offers a submission ring (Linux's io_uring): for a tree of small files
// the calls to open, read and close each cost more than the work they do. Each file is
// opened by name below an open folder, read once from its start and closed when the next
// batch is read or the reader goes.
class FirstPieceReader {
public:
    struct File {
        int folderFd = -1;
        const char* name = nullptr;
        int openFlags = 0;  // as for openat; no O_CLOEXEC, the ring holds the files itself
    };
    struct Result {
        int error = 0;  // errno of opening or reading; 0 when read
        std::size_t got = 0;
    };

    // Nothing where the system has no ring or refuses one; the caller then reads file by
    // file. capacity: the most files read at once.
    static std::unique_ptr<FirstPieceReader> Create(std::size_t capacity, std::size_t pieceSize);

    virtual ~FirstPieceReader() = default;

    // Reads up to pieceSize bytes of each file (at most capacity of them) into Piece(index).
    // False when the ring failed as a whole: then nothing is known and the reader is not to
    // be used again.
    virtual bool Read(std::span<const File> files, std::span<Result> results) = 0;

    virtual std::span<const std::byte> Piece(std::size_t index, std::size_t got) const = 0;
};

// Closes the descriptors and empties fds: many with one system call where the system offers
// a ring, which pays for the folders a tree comparison held open.
void CloseAll(std::vector<UniqueFd>& fds);

}  // namespace tandemix
