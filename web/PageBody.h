#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tandemix {

// How the transport saw the end of a transfer: every byte the answer announced arrived, or
// the transfer broke off, stalled or ran out of time.
enum class TransferEnd { Complete, Broken };

// What became of a body; only a stored one is left on disk.
enum class BodyVerdict {
    Stored,      // complete, within the cap, written whole and not empty
    Empty,       // nothing but bytes 0x00, or nothing at all
    Incomplete,  // the transfer did not end as the answer announced
    OverCap,     // more bytes arrived than the cap allows
    NotWritten,  // the file could not be created or written
};

// The body of one answer on its way into a file of its own, written as it arrives so that
// memory does not grow with the page. Bytes 0x00 are dropped; the cap counts the bytes
// received, before the dropping, so a stream of zeros ends as early as any other. It needs
// no network: feed it with Append and end it with Finish.
class PageBody {
public:
    // Whatever is at the path goes first; the file is then created anew ("x": a link planted
    // in between is not followed).
    PageBody(std::string path, std::uint64_t cap);
    // Removes the file when Finish was not called.
    ~PageBody();
    PageBody(const PageBody&) = delete;
    PageBody& operator=(const PageBody&) = delete;

    // False when the file could not be created; Append then refuses everything.
    bool Ready() const { return file_ != nullptr; }

    // Takes the next piece of the body. False when the transfer must stop: the cap is passed
    // or the file cannot be written.
    bool Append(std::string_view bytes);

    // Starts over with an empty file, for the answer to a request sent again.
    bool Restart();

    // Closes the file and keeps it only when the verdict is Stored. Later calls change
    // nothing and repeat the verdict.
    BodyVerdict Finish(TransferEnd end);

    std::uint64_t Received() const { return received_; }
    std::uint64_t Cap() const { return cap_; }
    bool OverCap() const { return overCap_; }
    // The system's error number when the file could not be created or written; 0 otherwise.
    int Error() const { return error_; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, FileCloser>;

    bool Create();
    void Discard();

    std::string path_;
    std::uint64_t cap_ = 0;
    File file_;
    std::uint64_t received_ = 0;
    std::uint64_t written_ = 0;
    bool overCap_ = false;
    bool writeFailed_ = false;
    bool finished_ = false;
    int error_ = 0;
    BodyVerdict verdict_ = BodyVerdict::NotWritten;
};

}  // namespace tandemix
