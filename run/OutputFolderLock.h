#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "base/WorkingFiles.h"

namespace tandemix {

// An advisory lock on an output folder, held for a whole compare command, downloads
// included, so that commands writing into one folder take turns instead of mixing their
// reports and fetched pages. Taking it waits for the command before. The lock file is
// removed again when the lock is released.
//
// Other users may share the folder: the lock file is never opened through a link, one that
// is not a regular file is refused, and one that cannot be written (another user's) is
// locked through a read-only descriptor.
class OutputFolderLock {
public:
    static constexpr std::string_view kFileName = kLockFileName;
    // How long the wait for the command before stays silent.
    static constexpr std::chrono::milliseconds kQuietWait{1000};

    // `longWait` is called once when the lock is still taken after kQuietWait.
    explicit OutputFolderLock(const std::string& directory,
                              const std::function<void()>& longWait = {});
    ~OutputFolderLock();
    OutputFolderLock(const OutputFolderLock&) = delete;
    OutputFolderLock& operator=(const OutputFolderLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Why the lock could not be taken, when it is not held.
    int Error() const { return error_; }
    // Whether the lock file itself is what failed (it is there but cannot be used), rather
    // than the folder.
    bool FileAtFault() const { return fileAtFault_; }
    // Whether the lock file is a link, a folder, a device or anything else not regular.
    bool NotRegular() const { return notRegular_; }
    const std::string& Path() const { return path_; }

private:
    void Take(const std::function<void()>& longWait);

    std::string path_;
    int fd_ = -1;
    int error_ = 0;
    bool fileAtFault_ = false;
    bool notRegular_ = false;
};

}  // namespace tandemix
