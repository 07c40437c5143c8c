#include "folders/ContentComparison.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "base/ContentHash.h"
#include "base/SideBySide.h"

namespace tandemix {
namespace {

// Opening and reading small files costs system calls, which a second core takes on as
// well as the first; below this many files starting a thread does not pay.
constexpr std::size_t kFilesWorthSharing = 64;

#ifdef O_PATH
constexpr int kLookupOnly = O_PATH;
#else
constexpr int kLookupOnly = O_RDONLY;
#endif

struct OpenFile {
    UniqueFd fd;
    std::uint64_t size = 0;  // as the walk found it: where reading is expected to end
};

// Not checked again once open: reading one byte past the expected end tells a file that
// changed size, and a file that turned into a fifo meanwhile reads as empty without
// waiting, so either is judged by what it holds now.
std::optional<OpenFile> Open(const FileAtPath& file, ContentComparer::OpenFolder& folder) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const std::string_view path = file.path;
    const std::size_t slash = path.rfind('/');
    const std::string_view folderPath = path.substr(0, slash == 0 ? 1 : slash);
    if (slash != std::string_view::npos && folder.path != folderPath) {
        folder.path = folderPath;
        folder.fd.Reset(::open(folder.path.c_str(), kLookupOnly | O_DIRECTORY | O_CLOEXEC));
    }
    OpenFile open{UniqueFd(slash != std::string_view::npos && folder.fd.IsOpen()
                               ? ::openat(folder.fd.Get(), file.path.c_str() + slash + 1, kFlags)
                               : ::open(file.path.c_str(), kFlags)),
                  file.size};
    if (!open.fd.IsOpen()) {
        return std::nullopt;
    }
    return open;
}

// One read: a regular file gives less than asked for only at its end, and asking past the
// expected end makes that short read the sign of it, without a read that finds nothing.
std::optional<std::size_t> ReadPiece(int fd, std::span<std::byte> piece) {
    for (;;) {
        const ssize_t read = ::read(fd, piece.data(), piece.size());
        if (read >= 0) {
            return static_cast<std::size_t>(read);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool HasNul(std::span<const std::byte> bytes) {
    const std::size_t probed = std::min<std::size_t>(bytes.size(), kBinaryProbeBytes);
    return std::memchr(bytes.data(), 0, probed) != nullptr;
}

void ReadSequentially(const OpenFile& file) {
    if (file.size > ContentComparer::kPieceSize) {
        ::posix_fadvise(file.fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

// How much of the rest to ask for: one byte beyond the expected end, so that a short
// read reports the end without a read of its own.
std::size_t Wanted(std::uint64_t left) {
    return static_cast<std::size_t>(std::min<std::uint64_t>(left + 1, ContentComparer::kPieceSize));
}

PairVerdict ComparePair(const FilePair& pair, BinaryCheck check,
                        ContentComparer::ThreadState& state) {
    std::array<std::vector<std::byte>, 2>& pieces = state.pieces;
    std::array<std::optional<OpenFile>, 2> files;
    for (std::size_t side = 0; side < 2; ++side) {
        files[side] = Open(*pair.files[side], state.folders[side]);
        if (!files[side]) {
            return {side == 0 ? Verdict::Unreadable1 : Verdict::Unreadable2};
        }
    }
    const bool compare = pair.work == PairWork::CompareBytes;
    if (compare) {
        ReadSequentially(*files[0]);
        ReadSequentially(*files[1]);
    }
    PairVerdict verdict{compare ? Verdict::Same : Verdict::Different};
    std::uint64_t left = files[0]->size;
    for (bool first = true;; first = false) {
        const std::size_t wanted = compare ? Wanted(left) : kBinaryProbeBytes;
        std::array<std::size_t, 2> got{};
        for (std::size_t side = 0; side < 2; ++side) {
            const std::optional<std::size_t> read =
                ReadPiece(files[side]->fd.Get(), std::span(pieces[side]).first(wanted));
            if (!read) {
                return {side == 0 ? Verdict::Unreadable1 : Verdict::Unreadable2};
            }
            got[side] = *read;
        }
        if (first && check == BinaryCheck::Look) {
            verdict.binary = HasNul(std::span(pieces[0]).first(got[0])) ||
                             HasNul(std::span(pieces[1]).first(got[1]));
        }
        if (!compare) {
            return verdict;
        }
        if (got[0] != got[1] || std::memcmp(pieces[0].data(), pieces[1].data(), got[0]) != 0) {
            verdict.verdict = Verdict::Different;
            return verdict;
        }
        // Both ended at the same byte.
        if (got[0] < wanted) {
            return verdict;
        }
        left -= std::min<std::uint64_t>(left, got[0]);
    }
}

std::optional<std::uint64_t> Fingerprint(const FileAtPath& file,
                                         ContentComparer::ThreadState& state) {
    std::vector<std::byte>& piece = state.pieces[0];
    const std::optional<OpenFile> open = Open(file, state.folders[0]);
    if (!open) {
        return std::nullopt;
    }
    ReadSequentially(*open);
    ContentHash hash;
    for (std::uint64_t left = open->size;;) {
        const std::size_t wanted = Wanted(left);
        const std::optional<std::size_t> read =
            ReadPiece(open->fd.Get(), std::span(piece).first(wanted));
        if (!read) {
            return std::nullopt;
        }
        hash.Update(std::span(piece).first(*read));
        if (*read < wanted) {
            return hash.Finish();
        }
        left -= std::min<std::uint64_t>(left, *read);
    }
}

// Runs work(index, state) for every index below count, on two threads when there are
// enough items.
template <class Work>
void ShareOut(std::size_t count, std::array<ContentComparer::ThreadState, 2>& threads, Work work) {
    std::atomic<std::size_t> next = 0;
    const auto worker = [&](ContentComparer::ThreadState& state) {
        for (auto& piece : state.pieces) {
            piece.resize(ContentComparer::kPieceSize);
        }
        for (std::size_t i = next++; i < count; i = next++) {
            work(i, state);
        }
    };
    if (count < kFilesWorthSharing) {
        worker(threads[0]);
        return;
    }
    RunSideBySide([&] { worker(threads[0]); }, [&] { worker(threads[1]); });
}

}  // namespace

std::vector<PairVerdict> ContentComparer::Compare(std::span<const FilePair> pairs,
                                                  BinaryCheck check) {
    std::vector<PairVerdict> verdicts(pairs.size());
    ShareOut(pairs.size(), threads_, [&](std::size_t i, ThreadState& state) {
        verdicts[i] = ComparePair(pairs[i], check, state);
    });
    return verdicts;
}

std::vector<std::optional<std::uint64_t>> ContentComparer::Fingerprints(
    std::span<const FileAtPath* const> files) {
    std::vector<std::optional<std::uint64_t>> fingerprints(files.size());
    ShareOut(files.size(), threads_, [&](std::size_t i, ThreadState& state) {
        fingerprints[i] = Fingerprint(*files[i], state);
    });
    return fingerprints;
}

}  // namespace tandemix
