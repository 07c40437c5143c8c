#include "folders/FirstPieceReader.h"

#if defined(__linux__) && __has_include(<linux/io_uring.h>)
#define TANDEMIX_HAS_RING 1
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/UniqueFd.h"
#endif

namespace tandemix {

#ifdef TANDEMIX_HAS_RING
namespace {

// A shared mapping of the ring, unmapped when it goes.
class Mapping {
public:
    Mapping() = default;
    Mapping(int fd, std::size_t size, off_t offset)
        : size_(size),
          address_(::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd,
                          offset)) {}
    Mapping(Mapping&& other) noexcept
        : size_(other.size_), address_(std::exchange(other.address_, MAP_FAILED)) {}
    Mapping& operator=(Mapping&& other) noexcept {
        std::swap(size_, other.size_);
        std::swap(address_, other.address_);
        return *this;
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (address_ != MAP_FAILED) {
            ::munmap(address_, size_);
        }
    }

    bool IsMapped() const { return address_ != MAP_FAILED; }
    template <class T>
    T* At(std::size_t offset) const {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }

private:
    std::size_t size_ = 0;
    void* address_ = MAP_FAILED;
};

// A submission ring: entries are filled with Next, then Run submits them and waits for
// all their completions.
class Ring {
public:
    // Room for entries at once; false where the system refuses a ring.
    bool Start(unsigned entries) {
        io_uring_params params{};
        // Not single issuer: the comparer's helper thread is a new one for each batch of
        // work, never two at once.
        params.flags = IORING_SETUP_SUBMIT_ALL | IORING_SETUP_COOP_TASKRUN;
        fd_.Reset(static_cast<int>(::syscall(__NR_io_uring_setup, entries, &params)));
        if (!fd_.IsOpen() || (params.features & IORING_FEAT_SINGLE_MMAP) == 0 ||
            params.sq_entries < entries) {
            return false;
        }
        const std::size_t rings =
            std::max<std::size_t>(params.sq_off.array + params.sq_entries * sizeof(unsigned),
                                  params.cq_off.cqes + params.cq_entries * sizeof(io_uring_cqe));
        rings_ = Mapping(fd_.Get(), rings, IORING_OFF_SQ_RING);
        sqes_ = Mapping(fd_.Get(), params.sq_entries * sizeof(io_uring_sqe), IORING_OFF_SQES);
        if (!rings_.IsMapped() || !sqes_.IsMapped()) {
            return false;
        }
        sqTail_ = rings_.At<unsigned>(params.sq_off.tail);
        sqMask_ = *rings_.At<unsigned>(params.sq_off.ring_mask);
        sqArray_ = rings_.At<unsigned>(params.sq_off.array);
        cqHead_ = rings_.At<unsigned>(params.cq_off.head);
        cqTail_ = rings_.At<unsigned>(params.cq_off.tail);
        cqMask_ = *rings_.At<unsigned>(params.cq_off.ring_mask);
        cqes_ = rings_.At<io_uring_cqe>(params.cq_off.cqes);
        capacity_ = entries;
        return true;
    }

    int Fd() const { return fd_.Get(); }
    unsigned Capacity() const { return capacity_; }

    io_uring_sqe& Next() {
        const unsigned at = (*sqTail_ + pending_++) & sqMask_;
        sqArray_[at] = at;
        io_uring_sqe& entry = sqes_.At<io_uring_sqe>(0)[at];
        std::memset(&entry, 0, sizeof(entry));
        return entry;
    }

    // Submits the entries filled since the last run and hands each completion to done;
    // false when the ring failed, after which it is not to be used again.
    template <class Done>
    bool Run(Done done) {
        if (broken_) {
            return false;
        }
        const unsigned expected = std::exchange(pending_, 0);
        std::atomic_ref<unsigned>(*sqTail_).fetch_add(expected, std::memory_order_release);
        unsigned toSubmit = expected;
        unsigned completed = 0;
        unsigned head = *cqHead_;
        while (completed < expected) {
            const long entered =
                ::syscall(__NR_io_uring_enter, fd_.Get(), toSubmit, expected - completed,
                          IORING_ENTER_GETEVENTS, nullptr, 0);
            if (entered < 0 && errno != EINTR) {
                broken_ = true;
                return false;
            }
            if (entered > 0) {
                toSubmit -= std::min(toSubmit, static_cast<unsigned>(entered));
            }
            const unsigned ready =
                std::atomic_ref<unsigned>(*cqTail_).load(std::memory_order_acquire);
            for (; head != ready; ++head, ++completed) {
                done(cqes_[head & cqMask_]);
            }
            std::atomic_ref<unsigned>(*cqHead_).store(head, std::memory_order_release);
        }
        return true;
    }

private:
    UniqueFd fd_;
    Mapping rings_;
    Mapping sqes_;
    unsigned* sqTail_ = nullptr;
    unsigned sqMask_ = 0;
    unsigned* sqArray_ = nullptr;
    unsigned* cqHead_ = nullptr;
    unsigned* cqTail_ = nullptr;
    unsigned cqMask_ = 0;
    io_uring_cqe* cqes_ = nullptr;
    unsigned capacity_ = 0;
    unsigned pending_ = 0;
    bool broken_ = false;
};

class RingReader final : public FirstPieceReader {
public:
    RingReader(std::size_t capacity, std::size_t pieceSize)
        : capacity_(capacity),
          pieceSize_(pieceSize),
          // Left uninitialised: a small file touches only the first page of its piece.
          pieces_(std::make_unique_for_overwrite<std::byte[]>(capacity * pieceSize)) {}

    // Sets the ring up with room for an open and a read per file, and a table of capacity
    // files that the opens fill; false where the system refuses any of it.
    bool Start() {
        if (!ring_.Start(static_cast<unsigned>(2 * capacity_))) {
            return false;
        }
        io_uring_rsrc_register table{};
        table.nr = static_cast<unsigned>(capacity_);
        table.flags = IORING_RSRC_REGISTER_SPARSE;
        return ::syscall(__NR_io_uring_register, ring_.Fd(), IORING_REGISTER_FILES2, &table,
                         sizeof(table)) == 0;
    }

    bool Read(std::span<const File> files, std::span<Result> results) override {
        if (files.size() > capacity_) {
            return false;
        }
        // Each file: an open into its slot of the table (which closes the file of the batch
        // before), linked to a read of its piece; a failed open cancels the read.
        for (std::size_t k = 0; k < files.size(); ++k) {
            io_uring_sqe& open = ring_.Next();
            open.opcode = IORING_OP_OPENAT;
            open.fd = files[k].folderFd;
            open.addr = reinterpret_cast<std::uintptr_t>(files[k].name);
            open.open_flags = static_cast<std::uint32_t>(files[k].openFlags);
            open.file_index = static_cast<std::uint32_t>(k + 1);
            open.flags = IOSQE_IO_LINK;
            open.user_data = 2 * k;
            io_uring_sqe& read = ring_.Next();
            read.opcode = IORING_OP_READ;
            read.fd = static_cast<int>(k);
            read.flags = IOSQE_FIXED_FILE;
            read.addr = reinterpret_cast<std::uintptr_t>(pieces_.get() + k * pieceSize_);
            read.len = static_cast<std::uint32_t>(pieceSize_);
            read.user_data = 2 * k + 1;
        }
        return ring_.Run([&](const io_uring_cqe& done) { Take(done, results); });
    }

    std::span<const std::byte> Piece(std::size_t index, std::size_t got) const override {
        return {pieces_.get() + index * pieceSize_, std::min(got, pieceSize_)};
    }

private:
    static void Take(const io_uring_cqe& done, std::span<Result> results) {
        Result& result = results[done.user_data / 2];
        const bool read = done.user_data % 2 == 1;
        if (done.res < 0) {
            // A read cancelled for its failed open keeps the open's error.
            if (result.error == 0 || !read) {
                result.error = -done.res;
            }
        } else if (read) {
            result.got = static_cast<std::size_t>(done.res);
        }
    }

    std::size_t capacity_;
    std::size_t pieceSize_;
    std::unique_ptr<std::byte[]> pieces_;
    Ring ring_;
};

// Descriptors closed with one call through a ring.
constexpr unsigned kClosesAtOnce = 256;
// Below this many, setting a ring up costs more than it saves.
constexpr std::size_t kClosesWorthARing = 64;

}  // namespace
#endif

std::unique_ptr<FirstPieceReader> FirstPieceReader::Create(std::size_t capacity,
                                                           std::size_t pieceSize) {
#ifdef TANDEMIX_HAS_RING
    auto reader = std::make_unique<RingReader>(capacity, pieceSize);
    if (reader->Start()) {
        return reader;
    }
#else
    (void)capacity;
    (void)pieceSize;
#endif
    return nullptr;
}

void CloseAll(std::vector<UniqueFd>& fds) {
#ifdef TANDEMIX_HAS_RING
    Ring ring;
    if (fds.size() >= kClosesWorthARing && ring.Start(kClosesAtOnce)) {
        for (std::size_t at = 0; at < fds.size();) {
            const std::size_t begin = at;
            for (unsigned queued = 0; at < fds.size() && queued < ring.Capacity(); ++at) {
                if (fds[at].IsOpen()) {
                    io_uring_sqe& close = ring.Next();
                    close.opcode = IORING_OP_CLOSE;
                    close.fd = fds[at].Get();
                    ++queued;
                }
            }
            const bool ran = ring.Run([](const io_uring_cqe&) {});
            // A descriptor handed to the ring is its to close, whatever it reports: closing
            // it again could close another that took its number meanwhile.
            for (std::size_t k = begin; k < at; ++k) {
                fds[k].Release();
            }
            if (!ran) {
                break;
            }
        }
    }
#endif
    fds.clear();
}

}  // namespace tandemix
