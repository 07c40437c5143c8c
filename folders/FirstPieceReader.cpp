#include "folders/FirstPieceReader.h"

#ifdef __linux__
#define TANDEMIX_HAS_RING 1
#include <liburing.h>

#include <algorithm>
#include <cerrno>

#include "base/UniqueFd.h"
#endif

namespace tandemix {

#ifdef TANDEMIX_HAS_RING
namespace {

// A submission ring: entries are filled with Next, then Run submits them and waits for
// all their completions.
class Ring {
public:
    Ring() = default;
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() {
        if (started_) {
            io_uring_queue_exit(&ring_);
        }
    }

    // Room for entries at once; false where the system refuses a ring.
    bool Start(unsigned entries) {
        io_uring_params params{};
        // Not single issuer: the comparer's helper thread is a new one for each batch of
        // work, never two at once.
        params.flags = IORING_SETUP_SUBMIT_ALL | IORING_SETUP_COOP_TASKRUN;
        started_ = io_uring_queue_init_params(entries, &ring_, &params) == 0;
        capacity_ = entries;
        return started_ && ring_.sq.ring_entries >= entries;
    }

    int Fd() const { return ring_.ring_fd; }
    unsigned Capacity() const { return capacity_; }
    bool Broken() const { return broken_; }

    // Never more than Capacity between two runs.
    io_uring_sqe& Next() { return *io_uring_get_sqe(&ring_); }

    // Submits the entries filled since the last run and hands each completion to done;
    // false when the ring failed, after which it is not to be used again.
    template <class Done>
    bool Run(Done done) {
        if (broken_) {
            return false;
        }
        const unsigned expected = io_uring_sq_ready(&ring_);
        for (unsigned completed = 0; completed < expected;) {
            const int entered = io_uring_submit_and_wait(&ring_, expected - completed);
            if (entered < 0 && entered != -EINTR) {
                broken_ = true;
                return false;
            }
            unsigned head = 0;
            unsigned seen = 0;
            io_uring_cqe* cqe = nullptr;
            io_uring_for_each_cqe(&ring_, head, cqe) {
                done(*cqe);
                ++seen;
            }
            io_uring_cq_advance(&ring_, seen);
            completed += seen;
        }
        return true;
    }

private:
    io_uring ring_{};
    bool started_ = false;
    unsigned capacity_ = 0;
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
        // Registered directly: io_uring_register_files_sparse raises the process's
        // descriptor limit when the table does not fit below it, where we fall back instead.
        io_uring_rsrc_register table{};
        table.nr = static_cast<unsigned>(capacity_);
        table.flags = IORING_RSRC_REGISTER_SPARSE;
        return io_uring_register(static_cast<unsigned>(ring_.Fd()), IORING_REGISTER_FILES2, &table,
                                 sizeof(table)) == 0;
    }

    bool Read(std::span<const File> files, std::span<Result> results) override {
        if (files.size() > capacity_ || ring_.Broken()) {
            return false;
        }
        // Each file: an open into its slot of the table (which closes the file of the batch
        // before), linked to a read of its piece; a failed open cancels the read.
        for (std::size_t k = 0; k < files.size(); ++k) {
            io_uring_sqe& open = ring_.Next();
            io_uring_prep_openat_direct(&open, files[k].folderFd, files[k].name, files[k].openFlags,
                                        0, static_cast<unsigned>(k));
            open.flags = IOSQE_IO_LINK;
            io_uring_sqe_set_data64(&open, 2 * k);
            io_uring_sqe& read = ring_.Next();
            io_uring_prep_read(&read, static_cast<int>(k), pieces_.get() + k * pieceSize_,
                               static_cast<unsigned>(pieceSize_), 0);
            read.flags = IOSQE_FIXED_FILE;
            io_uring_sqe_set_data64(&read, 2 * k + 1);
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
                    io_uring_prep_close(&ring.Next(), fds[at].Get());
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
