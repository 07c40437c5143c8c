#include "folders/ContentComparison.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <variant>

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
    std::uint64_t size = 0;  // where reading is expected to end
};

#ifdef O_NOATIME
constexpr int kNoAccessTime = O_NOATIME;
#else
constexpr int kNoAccessTime = 0;
#endif

// The file's whole path, for where no folder is held open.
std::string Below(const ContentComparer::Tops& tops, const FileAtPath& file) {
    std::string path = tops.paths[file.side];
    if (!file.path->empty()) {
        path.append(path.ends_with('/') ? "" : "/").append(*file.path);
    }
    return path;
}

int OpenIn(int folderFd, const char* name, ContentComparer::ThreadState& state) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (state.keepAccessTimes && kNoAccessTime != 0) {
        const int fd = ::openat(folderFd, name, kFlags | kNoAccessTime);
        if (fd >= 0 || errno != EPERM) {
            return fd;
        }
        state.keepAccessTimes = false;
    }
    return ::openat(folderFd, name, kFlags);
}

std::optional<std::uint64_t> SizeOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
}

// Where the size is unknown and learnSize asks for it, the file is looked at once open;
// one that is no regular file any more is not read (a fifo opened without waiting does not
// block). Otherwise not checked again: reading one byte past the expected end tells a file
// that changed size, so it is judged by what it holds now.
std::optional<OpenFile> Open(const FileAtPath& file, const ContentComparer::Tops& tops,
                             ContentComparer::ThreadState& state, bool learnSize) {
    const int top = tops.fds[file.side].Get();
    OpenFile open{
        UniqueFd(file.path->empty() || top < 0 ? OpenIn(AT_FDCWD, Below(tops, file).c_str(), state)
                                               : OpenIn(top, file.path->c_str(), state)),
        file.size.value_or(0)};
    if (!open.fd.IsOpen()) {
        return std::nullopt;
    }
    if (!file.size && learnSize) {
        const std::optional<std::uint64_t> size = SizeOf(open.fd.Get());
        if (!size) {
            return std::nullopt;
        }
        open.size = *size;
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

Verdict UnreadableSide(std::size_t side) {
    return side == 0 ? Verdict::Unreadable1 : Verdict::Unreadable2;
}

// Reads the next piece of both files; the side that could not be read otherwise.
std::variant<std::array<std::size_t, 2>, std::size_t> ReadBoth(
    const std::array<std::optional<OpenFile>, 2>& files, std::size_t wanted,
    ContentComparer::ThreadState& state) {
    std::array<std::size_t, 2> got{};
    for (std::size_t side = 0; side < 2; ++side) {
        const std::optional<std::size_t> read =
            ReadPiece(files[side]->fd.Get(), state.Piece(side).first(wanted));
        if (!read) {
            return side;
        }
        got[side] = *read;
    }
    return got;
}

bool SamePiece(const std::array<std::size_t, 2>& got, ContentComparer::ThreadState& state) {
    return got[0] == got[1] &&
           std::memcmp(state.pieces[0].get(), state.pieces[1].get(), got[0]) == 0;
}

void ProbeForNul(const std::array<std::size_t, 2>& got, ContentComparer::ThreadState& state,
                 PairVerdict& verdict) {
    verdict.binary = HasNul(state.Piece(0).first(got[0])) || HasNul(state.Piece(1).first(got[1]));
}

// Files the walk did not size are read at once: most end within the first piece, whose
// short reads give their sizes without asking for them. Larger files are sized after
// that piece, and their sizes decide before more is read.
PairVerdict CompareUnsized(const std::array<std::optional<OpenFile>, 2>& files, BinaryCheck check,
                           ContentComparer::ThreadState& state) {
    PairVerdict verdict;
    std::array<std::uint64_t, 2> total{};
    std::uint64_t left = 0;
    for (bool first = true;; first = false) {
        const std::size_t wanted = first ? ContentComparer::kPieceSize : Wanted(left);
        const auto read = ReadBoth(files, wanted, state);
        if (const std::size_t* side = std::get_if<std::size_t>(&read)) {
            verdict.verdict = UnreadableSide(*side);
            return verdict;
        }
        const auto& got = std::get<std::array<std::size_t, 2>>(read);
        if (first && check != BinaryCheck::Skip) {
            ProbeForNul(got, state, verdict);
        }
        total[0] += got[0];
        total[1] += got[1];
        const bool ended = got[0] < wanted && got[1] < wanted;
        if (!SamePiece(got, state)) {
            verdict.verdict = Verdict::Different;
            break;
        }
        if (ended) {
            verdict.sizes = total;
            // Nothing read: so reads a file that became a fifo since the walk, too.
            for (std::size_t side = 0; side < 2 && total[0] == 0; ++side) {
                if (!SizeOf(files[side]->fd.Get())) {
                    verdict.verdict = UnreadableSide(side);
                    break;
                }
            }
            return verdict;
        }
        if (first) {
            const std::optional<std::uint64_t> size1 = SizeOf(files[0]->fd.Get());
            const std::optional<std::uint64_t> size2 = SizeOf(files[1]->fd.Get());
            if (!size1 || !size2) {
                verdict.verdict = UnreadableSide(size1 ? 1 : 0);
                return verdict;
            }
            verdict.sizes = {*size1, *size2};
            if (*size1 != *size2) {
                verdict.verdict = Verdict::Different;
                return verdict;
            }
            left = *size1 - std::min<std::uint64_t>(*size1, total[0]);
            ReadSequentially(*files[0]);
            ReadSequentially(*files[1]);
            continue;
        }
        left -= std::min<std::uint64_t>(left, got[0]);
    }
    // Different: what was read tells the sizes only where both files ended.
    for (std::size_t side = 0; side < 2; ++side) {
        verdict.sizes[side] = SizeOf(files[side]->fd.Get()).value_or(total[side]);
    }
    return verdict;
}

PairVerdict ComparePair(const FilePair& pair, BinaryCheck check, const ContentComparer::Tops& tops,
                        ContentComparer::ThreadState& state) {
    PairVerdict verdict;
    if (pair.work == PairWork::ProbeOnly && check == BinaryCheck::WhereRead) {
        verdict.verdict = Verdict::Different;
        verdict.sizes = {pair.files[0]->size.value_or(0), pair.files[1]->size.value_or(0)};
        return verdict;
    }
    std::array<std::optional<OpenFile>, 2> files;
    for (std::size_t side = 0; side < 2; ++side) {
        files[side] = Open(*pair.files[side], tops, state, false);
        if (!files[side]) {
            verdict.verdict = UnreadableSide(side);
            return verdict;
        }
        verdict.sizes[side] = files[side]->size;
    }
    if (!pair.files[0]->size || !pair.files[1]->size) {
        return CompareUnsized(files, check, state);
    }
    const bool compare =
        pair.work == PairWork::CompareBytes && verdict.sizes[0] == verdict.sizes[1];
    if (!compare && check == BinaryCheck::Skip) {
        verdict.verdict = Verdict::Different;
        return verdict;
    }
    if (compare && verdict.sizes[0] == 0) {
        return verdict;
    }
    if (compare) {
        ReadSequentially(*files[0]);
        ReadSequentially(*files[1]);
    }
    verdict.verdict = compare ? Verdict::Same : Verdict::Different;
    std::uint64_t left = files[0]->size;
    for (bool first = true;; first = false) {
        const std::size_t wanted = compare ? Wanted(left) : kBinaryProbeBytes;
        const auto read = ReadBoth(files, wanted, state);
        if (const std::size_t* side = std::get_if<std::size_t>(&read)) {
            verdict.verdict = UnreadableSide(*side);
            return verdict;
        }
        const auto& got = std::get<std::array<std::size_t, 2>>(read);
        if (first && check != BinaryCheck::Skip) {
            ProbeForNul(got, state, verdict);
        }
        if (!compare) {
            return verdict;
        }
        if (!SamePiece(got, state)) {
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

std::optional<std::uint64_t> Fingerprint(const FileAtPath& file, const ContentComparer::Tops& tops,
                                         ContentComparer::ThreadState& state) {
    const std::span<std::byte> piece = state.Piece(0);
    const std::optional<OpenFile> open = Open(file, tops, state, true);
    if (!open) {
        return std::nullopt;
    }
    ReadSequentially(*open);
    ContentHash hash;
    for (std::uint64_t left = open->size;;) {
        const std::size_t wanted = Wanted(left);
        const std::optional<std::size_t> read = ReadPiece(open->fd.Get(), piece.first(wanted));
        if (!read) {
            return std::nullopt;
        }
        hash.Update(piece.first(*read));
        if (*read < wanted) {
            return hash.Finish();
        }
        left -= std::min<std::uint64_t>(left, *read);
    }
}

// Runs work(index, state) for every index below count, on two threads when there are
// enough items.
template <class Work>
void ShareOut(std::size_t count, Sharing sharing,
              std::array<ContentComparer::ThreadState, 2>& threads, Work work) {
    std::atomic<std::size_t> next = 0;
    const auto worker = [&](ContentComparer::ThreadState& state) {
        for (auto& piece : state.pieces) {
            if (!piece) {
                piece = std::make_unique_for_overwrite<std::byte[]>(ContentComparer::kPieceSize);
            }
        }
        for (std::size_t i = next++; i < count; i = next++) {
            work(i, state);
        }
    };
    if (count < kFilesWorthSharing || sharing == Sharing::OneAfterTheOther) {
        worker(threads[0]);
        return;
    }
    RunSideBySide([&] { worker(threads[0]); }, [&] { worker(threads[1]); });
}

}  // namespace

ContentComparer::ContentComparer(const std::array<std::string, 2>& tops, Sharing sharing)
    : tops_{tops, {}}, sharing_(sharing) {
    for (std::size_t side = 0; side < 2; ++side) {
        tops_.fds[side].Reset(
            ::open(tops[side].c_str(), kLookupOnly | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    }
}

std::vector<PairVerdict> ContentComparer::Compare(std::span<const FilePair> pairs,
                                                  BinaryCheck check) {
    std::vector<PairVerdict> verdicts(pairs.size());
    ShareOut(pairs.size(), sharing_, threads_, [&](std::size_t i, ThreadState& state) {
        verdicts[i] = ComparePair(pairs[i], check, tops_, state);
    });
    return verdicts;
}

std::vector<std::optional<std::uint64_t>> ContentComparer::Sizes(
    std::span<const FileAtPath* const> files) {
    std::vector<std::optional<std::uint64_t>> sizes(files.size());
    ShareOut(files.size(), sharing_, threads_, [&](std::size_t i, ThreadState&) {
        const FileAtPath& file = *files[i];
        const int top = tops_.fds[file.side].Get();
        struct stat info {};
        const int found = file.path->empty() || top < 0
                              ? ::stat(Below(tops_, file).c_str(), &info)
                              : ::fstatat(top, file.path->c_str(), &info, 0);
        if (found == 0 && S_ISREG(info.st_mode)) {
            sizes[i] = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
        }
    });
    return sizes;
}

std::vector<std::optional<std::uint64_t>> ContentComparer::Fingerprints(
    std::span<const FileAtPath* const> files) {
    std::vector<std::optional<std::uint64_t>> fingerprints(files.size());
    ShareOut(files.size(), sharing_, threads_, [&](std::size_t i, ThreadState& state) {
        fingerprints[i] = Fingerprint(*files[i], tops_, state);
    });
    return fingerprints;
}

}  // namespace tandemix
