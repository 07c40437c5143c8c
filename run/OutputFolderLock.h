#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// An advisory lock on an output folder, held for a whole compare command, downloads
// included, so that commands writing into one folder take turns instead of mixing their
// reports and fetched pages. Taking it waits for the command before. The lock file is
// removed again when the lock is released.
class OutputFolderLock {
public:
    static constexpr std::string_view kFileName = ".~tandemix.lock";

    explicit OutputFolderLock(const std::string& directory);
    ~OutputFolderLock();
    OutputFolderLock(const OutputFolderLock&) = delete;
    OutputFolderLock& operator=(const OutputFolderLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Why the lock file could not be made in the folder, when it is not held.
    int Error() const { return error_; }

private:
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace tandemix
