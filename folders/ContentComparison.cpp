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
// Pairs whose first pieces are read with one call: enough to make it pay for many opens
// and reads, few enough that two threads share the batches evenly.
constexpr std::size_t kPairsPerBatch = 8;
// The most read of each file of a batch: most files of a source tree end within it, and the
// batch's pieces stay few enough to be held in the processor's cache while compared. A
// pair that goes on is read again from its start, file by file.
constexpr std::size_t kRingPieceSize = 16 * 1024;

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

// Where to look the file up: in its folder by its name, in the top folder by its path
// below it, or by its whole path (in buffer).
struct Lookup {
    int folderFd = AT_FDCWD;
    const char* name = nullptr;
};

Lookup Find(const FileAtPath& file, const ContentComparer::Tops& tops, std::string& buffer) {
    if (file.folder >= 0) {
        const std::size_t slash = file.path->rfind('/');
        return {file.folder, file.path->c_str() + (slash == std::string::npos ? 0 : slash + 1)};
    }
    const int top = tops.fds[file.side].Get();
    if (file.path->empty() || top < 0) {
        buffer = Below(tops, file);
        return {AT_FDCWD, buffer.c_str()};
    }
    return {top, file.path->c_str()};
}

constexpr int kOpenFlags = O_RDONLY | O_NOCTTY | O_NONBLOCK;

int OpenIn(int folderFd, const char* name, ContentComparer::ThreadState& state) {
    constexpr int kFlags = kOpenFlags | O_CLOEXEC;
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
    std::string buffer;
    const Lookup lookup = Find(file, tops, buffer);
    OpenFile open{UniqueFd(OpenIn(lookup.folderFd, lookup.name, state)), file.size.value_or(0)};
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
    std::array<bool, 2> ended{};
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
        for (std::size_t side = 0; side < 2; ++side) {
            total[side] += got[side];
            ended[side] = got[side] < wanted;
        }
        if (!SamePiece(got, state)) {
            verdict.verdict = Verdict::Different;
            break;
        }
        if (ended[0] && ended[1]) {
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
    // Different: a file that ended is as long as what was read, most often within the first
    // piece; only one that goes on is asked for its size.
    for (std::size_t side = 0; side < 2; ++side) {
        verdict.sizes[side] =
            ended[side] ? total[side] : SizeOf(files[side]->fd.Get()).value_or(total[side]);
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

// Whether the pair may be judged from the first pieces read for a batch: files of unknown
// size, whose bytes are to be compared.
bool ForRing(const FilePair& pair) {
    return !pair.files[0]->size && !pair.files[1]->size && pair.work == PairWork::CompareBytes;
}

// The verdict CompareUnsized gives where both files end within their first pieces: what was
// read tells both their sizes and whether they are the same. Anything else (a file that goes
// on, could not be opened or read, or two empty files, which are looked at once more) is
// judged file by file.
std::optional<PairVerdict> FromFirstPieces(const FirstPieceReader& ring, std::size_t pair,
                                           std::span<const FirstPieceReader::Result> results) {
    const FirstPieceReader::Result& one = results[2 * pair];
    const FirstPieceReader::Result& two = results[2 * pair + 1];
    if (one.error != 0 || two.error != 0 || one.got >= kRingPieceSize ||
        two.got >= kRingPieceSize || (one.got == 0 && two.got == 0)) {
        return std::nullopt;
    }
    PairVerdict verdict;
    verdict.sizes = {one.got, two.got};
    const std::span<const std::byte> piece1 = ring.Piece(2 * pair, one.got);
    const std::span<const std::byte> piece2 = ring.Piece(2 * pair + 1, two.got);
    const bool same = one.got == two.got && std::memcmp(piece1.data(), piece2.data(), one.got) == 0;
    verdict.verdict = same ? Verdict::Same : Verdict::Different;
    return verdict;
}

// Compares a batch of pairs without looking for NUL bytes: the first pieces of the pairs of
// unknown size are read at once where the system offers a ring, and whatever they do not
// decide is compared pair by pair.
void CompareBatch(std::span<const FilePair> pairs, const ContentComparer::Tops& tops,
                  ContentComparer::ThreadState& state, std::span<PairVerdict> verdicts) {
    if (!state.ringTried) {
        state.ringTried = true;
        state.ring = FirstPieceReader::Create(2 * kPairsPerBatch, kRingPieceSize);
    }
    std::vector<std::size_t> ringPairs;
    std::vector<FirstPieceReader::File> files;
    std::vector<std::string> whole(2 * pairs.size());  // sized once: names point into it
    if (state.ring) {
        const int flags = kOpenFlags | (state.keepAccessTimes ? kNoAccessTime : 0);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (!ForRing(pairs[i])) {
                continue;
            }
            ringPairs.push_back(i);
            for (std::size_t side = 0; side < 2; ++side) {
                const Lookup lookup = Find(*pairs[i].files[side], tops, whole[2 * i + side]);
                files.push_back({lookup.folderFd, lookup.name, flags});
            }
        }
    }
    std::vector<FirstPieceReader::Result> results(files.size());
    std::vector<bool> judged(pairs.size());
    // A ring that failed is kept, unused, until the comparer goes: reads it had taken on
    // may still fill its pieces.
    if (!files.empty() && state.ring->Read(files, results)) {
        for (std::size_t k = 0; k < ringPairs.size(); ++k) {
            if (const auto verdict = FromFirstPieces(*state.ring, k, results)) {
                verdicts[ringPairs[k]] = *verdict;
                judged[ringPairs[k]] = true;
            }
        }
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (!judged[i]) {
            verdicts[i] = ComparePair(pairs[i], BinaryCheck::Skip, tops, state);
        }
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
              std::array<ContentComparer::ThreadState, 2>& threads, Work work,
              std::size_t files = 0) {
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
    if (std::max(files, count) < kFilesWorthSharing || sharing == Sharing::OneAfterTheOther) {
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
    if (check == BinaryCheck::Skip) {
        const std::size_t batches = (pairs.size() + kPairsPerBatch - 1) / kPairsPerBatch;
        ShareOut(
            batches, sharing_, threads_,
            [&](std::size_t batch, ThreadState& state) {
                const std::size_t begin = batch * kPairsPerBatch;
                const std::size_t count = std::min(kPairsPerBatch, pairs.size() - begin);
                CompareBatch(pairs.subspan(begin, count), tops_, state,
                             std::span(verdicts).subspan(begin, count));
            },
            pairs.size());
        return verdicts;
    }
    ShareOut(pairs.size(), sharing_, threads_, [&](std::size_t i, ThreadState& state) {
        verdicts[i] = ComparePair(pairs[i], check, tops_, state);
    });
    return verdicts;
}

std::vector<std::optional<std::uint64_t>> ContentComparer::Sizes(
    std::span<const FileAtPath* const> files) {
    std::vector<std::optional<std::uint64_t>> sizes(files.size());
    ShareOut(files.size(), sharing_, threads_, [&](std::size_t i, ThreadState&) {
        std::string buffer;
        const Lookup lookup = Find(*files[i], tops_, buffer);
        struct stat info {};
        if (::fstatat(lookup.folderFd, lookup.name, &info, 0) == 0 && S_ISREG(info.st_mode)) {
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
