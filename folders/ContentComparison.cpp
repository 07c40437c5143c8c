#include "folders/ContentComparison.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "base/ContentHash.h"
#include "base/SideBySide.h"
#include "base/UniqueFd.h"

namespace tandemix {
namespace {

// Opening and reading small files costs system calls, which a second core takes on as
// well as the first; below this many files starting a thread does not pay.
constexpr std::size_t kFilesWorthSharing = 64;

struct OpenFile {
    UniqueFd fd;
    std::uint64_t size = 0;
};

std::optional<OpenFile> Open(const FileAtPath& file) {
    OpenFile open{UniqueFd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)),
                  0};
    struct stat info {};
    if (!open.fd.IsOpen() || ::fstat(open.fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_dev != file.device || info.st_ino != file.inode) {
        return std::nullopt;
    }
    open.size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    return open;
}

// Reads until the piece is full or the file ends; the bytes read, or nothing on an error.
std::optional<std::size_t> ReadPiece(int fd, std::span<std::byte> piece) {
    std::size_t got = 0;
    while (got < piece.size()) {
        const ssize_t read = ::read(fd, piece.data() + got, piece.size() - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    return got;
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

PairVerdict ComparePair(const FilePair& pair, BinaryCheck check,
                        std::array<std::vector<std::byte>, 2>& pieces) {
    std::array<std::optional<OpenFile>, 2> files;
    for (std::size_t side = 0; side < 2; ++side) {
        files[side] = Open(*pair.files[side]);
        if (!files[side]) {
            return {side == 0 ? Verdict::Unreadable1 : Verdict::Unreadable2};
        }
    }
    const bool sameSize = files[0]->size == files[1]->size;
    if (!sameSize && check == BinaryCheck::Skip) {
        return {Verdict::Different};
    }
    const bool compare = sameSize && pair.work == PairWork::CompareBytes;
    if (compare) {
        ReadSequentially(*files[0]);
        ReadSequentially(*files[1]);
    }
    PairVerdict verdict{compare ? Verdict::Same : Verdict::Different};
    std::uint64_t left = files[0]->size;
    for (bool first = true; first || (compare && left > 0); first = false) {
        std::array<std::size_t, 2> got{};
        for (std::size_t side = 0; side < 2; ++side) {
            const std::size_t wanted = compare ? static_cast<std::size_t>(std::min<std::uint64_t>(
                                                     left, ContentComparer::kPieceSize))
                                               : static_cast<std::size_t>(kBinaryProbeBytes);
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
            break;
        }
        if (got[0] != got[1] || std::memcmp(pieces[0].data(), pieces[1].data(), got[0]) != 0) {
            verdict.verdict = Verdict::Different;
            break;
        }
        // Both ended early by the same bytes: they shrank alike since they were opened.
        if (got[0] == 0) {
            break;
        }
        left -= got[0];
    }
    return verdict;
}

std::optional<std::uint64_t> Fingerprint(const FileAtPath& file, std::vector<std::byte>& piece) {
    const std::optional<OpenFile> open = Open(file);
    if (!open) {
        return std::nullopt;
    }
    ReadSequentially(*open);
    ContentHash hash;
    for (std::uint64_t left = open->size; left > 0;) {
        const std::optional<std::size_t> read = ReadPiece(
            open->fd.Get(), std::span(piece).first(static_cast<std::size_t>(
                                std::min<std::uint64_t>(left, ContentComparer::kPieceSize))));
        if (!read) {
            return std::nullopt;
        }
        if (*read == 0) {
            break;
        }
        hash.Update(std::span(piece).first(*read));
        left -= *read;
    }
    return hash.Finish();
}

// Runs work(index, buffers) for every index below count, on two threads when there are
// enough items.
template <class Work>
void ShareOut(std::size_t count, std::array<std::array<std::vector<std::byte>, 2>*, 2> buffers,
              Work work) {
    std::atomic<std::size_t> next = 0;
    const auto worker = [&](std::array<std::vector<std::byte>, 2>& pieces) {
        for (auto& piece : pieces) {
            piece.resize(ContentComparer::kPieceSize);
        }
        for (std::size_t i = next++; i < count; i = next++) {
            work(i, pieces);
        }
    };
    if (count < kFilesWorthSharing) {
        worker(*buffers[0]);
        return;
    }
    RunSideBySide([&] { worker(*buffers[0]); }, [&] { worker(*buffers[1]); });
}

}  // namespace

std::vector<PairVerdict> ContentComparer::Compare(std::span<const FilePair> pairs,
                                                  BinaryCheck check) {
    std::vector<PairVerdict> verdicts(pairs.size());
    ShareOut(pairs.size(), {&buffers_[0].pieces, &buffers_[1].pieces},
             [&](std::size_t i, std::array<std::vector<std::byte>, 2>& pieces) {
                 verdicts[i] = ComparePair(pairs[i], check, pieces);
             });
    return verdicts;
}

std::vector<std::optional<std::uint64_t>> ContentComparer::Fingerprints(
    std::span<const FileAtPath* const> files) {
    std::vector<std::optional<std::uint64_t>> fingerprints(files.size());
    ShareOut(files.size(), {&buffers_[0].pieces, &buffers_[1].pieces},
             [&](std::size_t i, std::array<std::vector<std::byte>, 2>& pieces) {
                 fingerprints[i] = Fingerprint(*files[i], pieces[0]);
             });
    return fingerprints;
}

}  // namespace tandemix
