#include "run/ReportFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/FileReplacement.h"

namespace tandemix {
namespace {

// Pages arrive in large pieces already; small appends are gathered up to a piece.
constexpr std::size_t kBufferSize = kPagePieceSize;

}  // namespace

class ReportFiles::File final : public ByteSink {
public:
    explicit File(std::string path) : path_(std::move(path)) {
        fd_ = CreatePartFile(path_, part_).Release();
        if (fd_ < 0) {
            error_ = errno;
        }
    }
    ~File() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!part_.empty()) {
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

    // Writes what is left and asks the system to start writing it to the disk, so that the
    // files of a report reach the disk together rather than one wait after another.
    void StartWriteBack() {
        Flush();
#ifdef SYNC_FILE_RANGE_WRITE
        if (error_ == 0) {
            ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
        }
#endif
    }

    // Waits until the bytes and the size are on the disk; the file's times need not be.
    bool Finish() {
        Flush();
        if (error_ == 0 && ::fdatasync(fd_) != 0) {
            Keep(errno);
        }
        if (error_ == 0 && ::close(std::exchange(fd_, -1)) != 0) {
            Keep(errno);
        }
        return error_ == 0;
    }

    // Keeps the file it will replace under a part name, as a second link to it where the
    // file system allows that (the page stays in place meanwhile), else by moving it aside.
    // A folder in the way is found here, before any file has moved.
    bool KeepOld() {
        struct stat info {};
        if (::lstat(path_.c_str(), &info) != 0) {
            Keep(errno == ENOENT ? 0 : errno);
            return error_ == 0;
        }
        if (S_ISDIR(info.st_mode)) {
            Keep(EISDIR);
            return false;
        }
        for (int attempt = 0; attempt < kOldNameAttempts; ++attempt) {
            std::string old = PartPathFor(path_);
            if (::link(path_.c_str(), old.c_str()) == 0) {
                old_ = std::move(old);
                return true;
            }
            if (errno == EEXIST) {
                continue;
            }
            if (::rename(path_.c_str(), old.c_str()) != 0) {
                break;
            }
            old_ = std::move(old);
            movedAside_ = true;
            return true;
        }
        Keep(errno);
        return false;
    }

    bool Place(const Rename& rename) {
        if (rename(part_.c_str(), path_.c_str()) != 0) {
            Keep(errno);
            return false;
        }
        part_.clear();
        placed_ = true;
        return true;
    }

    // Puts the old file back, or removes the new one where there was none. An old file that
    // cannot be put back stays under its part name rather than being lost at once.
    void Undo() {
        if (placed_ || movedAside_) {
            if (old_.empty()) {
                ::unlink(path_.c_str());
            } else if (::rename(old_.c_str(), path_.c_str()) == 0) {
                old_.clear();
            }
        }
        DropOld();
    }

    void DropOld() {
        if (!old_.empty()) {
            ::unlink(old_.c_str());
            old_.clear();
        }
    }

    std::optional<Failure> GetFailure() const {
        if (error_ == 0) {
            return std::nullopt;
        }
        return Failure{path_, error_};
    }

private:
    static constexpr int kOldNameAttempts = 16;

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
    std::string part_;  // empty once placed
    std::string old_;   // the replaced file's part name while it is kept
    int fd_ = -1;
    int error_ = 0;
    bool placed_ = false;
    bool movedAside_ = false;
    std::string buffer_;
};

ReportFiles::ReportFiles(std::string directory, Rename rename)
    : directory_(std::move(directory)), rename_(std::move(rename)) {
    if (!rename_) {
        rename_ = [](const char* from, const char* to) { return std::rename(from, to); };
    }
}

ReportFiles::~ReportFiles() = default;

ByteSink& ReportFiles::Add(std::string_view name) {
    std::string path = directory_;
    path.push_back('/');
    files_.push_back(std::make_unique<File>(path.append(name)));
    return *files_.back();
}

bool ReportFiles::Commit() {
    for (const auto& file : files_) {
        file->StartWriteBack();
    }
    // Waited for side by side, the files' waits for the disk share its journal's commits.
    std::vector<char> finished(files_.size(), 0);
    {
        std::vector<std::jthread> waits;
        waits.reserve(files_.size());
        for (std::size_t i = 1; i < files_.size(); ++i) {
            const auto finish = [&, i] { finished[i] = files_[i]->Finish(); };
            try {
                waits.emplace_back(finish);
            } catch (const std::system_error&) {
                finish();  // no thread to be had: waited for here
            }
        }
        if (!files_.empty()) {
            finished[0] = files_[0]->Finish();
        }
    }
    const bool complete = std::find(finished.begin(), finished.end(), 0) == finished.end();
    // Each name is placed only once its bytes are on the disk, so after a crash a name shows
    // the old report or the new one, never an empty file. Which of the two a crash leaves the
    // folder's own next write-back decides; waiting for it would cost every run more than
    // its comparison.
    return complete && PlaceAll();
}

// Every old file is kept before the first rename, so that a rename failing at any point
// can be undone whole.
bool ReportFiles::PlaceAll() {
    const auto undo = [this] {
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            (*file)->Undo();
        }
        return false;
    };
    for (const auto& file : files_) {
        if (!file->KeepOld()) {
            return undo();
        }
    }
    for (const auto& file : files_) {
        if (!file->Place(rename_)) {
            return undo();
        }
    }
    for (const auto& file : files_) {
        file->DropOld();
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
