#include "run/ReportFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "base/FileReplacement.h"

namespace tandemix {
namespace {

// Pages arrive in large pieces already; small appends are gathered up to a piece.
constexpr std::size_t kBufferSize = kPagePieceSize;

}  // namespace

class ReportFiles::File final : public ByteSink {
public:
    explicit File(std::string path) : path_(std::move(path)), part_(PartPathFor(path_)) {
        fd_ = ::open(part_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            error_ = errno;
        }
    }
    ~File() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!placed_) {
            ::unlink(part_.c_str());
        }
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // After a failure the rest is dropped: the file will not be used.
    void Append(std::string_view bytes) override {
        if (error_ != 0) {
            return;
        }
        if (buffer_.size() + bytes.size() <= kBufferSize) {
            buffer_.append(bytes);
            return;
        }
        Flush();
        if (bytes.size() >= kBufferSize) {
            Keep(WriteAll(fd_, bytes));
        } else {
            buffer_.append(bytes);
        }
    }

    // Writes what is left and waits until the bytes are on the disk.
    bool Finish() {
        Flush();
        if (error_ == 0 && ::fsync(fd_) != 0) {
            Keep(errno);
        }
        if (error_ == 0 && ::close(std::exchange(fd_, -1)) != 0) {
            Keep(errno);
        }
        return error_ == 0;
    }

    bool Place() {
        placed_ = std::rename(part_.c_str(), path_.c_str()) == 0;
        Keep(placed_ ? 0 : errno);
        return placed_;
    }

    std::optional<Failure> GetFailure() const {
        if (error_ == 0) {
            return std::nullopt;
        }
        return Failure{path_, error_};
    }

private:
    void Flush() {
        if (error_ == 0 && !buffer_.empty()) {
            Keep(WriteAll(fd_, buffer_));
        }
        buffer_.clear();
    }
    void Keep(int error) {
        if (error_ == 0) {
            error_ = error;
        }
    }

    std::string path_;
    std::string part_;
    int fd_ = -1;
    int error_ = 0;
    bool placed_ = false;
    std::string buffer_;
};

ReportFiles::ReportFiles(std::string directory) : directory_(std::move(directory)) {}

ReportFiles::~ReportFiles() = default;

ByteSink& ReportFiles::Add(std::string_view name) {
    std::string path = directory_;
    path.push_back('/');
    files_.push_back(std::make_unique<File>(path.append(name)));
    return *files_.back();
}

bool ReportFiles::Commit() {
    bool complete = true;
    for (const auto& file : files_) {
        complete = file->Finish() && complete;
    }
    if (!complete) {
        return false;
    }
    for (const auto& file : files_) {
        if (!file->Place()) {
            return false;
        }
    }
    // The new names are on the disk too once the folder is.
    const int folder = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

std::vector<ReportFiles::Failure> ReportFiles::Failures() const {
    std::vector<Failure> failures;
    for (const auto& file : files_) {
        if (auto failure = file->GetFailure()) {
            failures.push_back(std::move(*failure));
        }
    }
    return failures;
}

}  // namespace tandemix
