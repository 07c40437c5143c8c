#include "run/OutputFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "base/UniqueFd.h"

namespace tandemix {
namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What opening the lock file gave: the descriptor, or the error and whether the file is
// something else than a regular file.
struct OpenedLock {
    UniqueFd fd;
    int error = 0;
    bool notRegular = false;
};

// A lock that is something else than a regular file was not made by this program: a link
// could lead anywhere, and opening a device or a pipe can have effects of its own. So
// nothing but a regular file is opened (never through a link), and that is checked again
// on the open file.
OpenedLock OpenLockFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return {UniqueFd(), 0, true};
    }
    constexpr int kFlags = O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666));
    int error = fd.IsOpen() ? 0 : errno;
    if (error == EACCES) {
        // Another user's lock file: locking needs no write access.
        fd.Reset(::open(path.c_str(), O_RDONLY | kFlags));
        error = fd.IsOpen() ? 0 : error;
    }
    if (!fd.IsOpen()) {
        // A link, a folder or a socket that took the name since it was looked at.
        return {UniqueFd(), error, error == ELOOP || error == EISDIR || error == ENXIO};
    }
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {UniqueFd(), 0, true};
    }
    return {std::move(fd), 0, false};
}

int LockWaiting(int fd, const std::function<void()>& longWait) {
    const auto quietUntil = std::chrono::steady_clock::now() + OutputFolderLock::kQuietWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            return errno;
        }
        if (std::chrono::steady_clock::now() >= quietUntil) {
            if (longWait) {
                longWait();
            }
            while (::flock(fd, LOCK_EX) != 0) {
                if (errno != EINTR) {
                    return errno;
                }
            }
            return 0;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return 0;
}

}  // namespace

OutputFolderLock::OutputFolderLock(const std::string& directory,
                                   const std::function<void()>& longWait)
    : path_(directory + "/" + std::string(kFileName)) {
    Take(longWait);
}

void OutputFolderLock::Take(const std::function<void()>& longWait) {
    // Said once, however often the file changes while this one waits.
    bool told = false;
    const std::function<void()> tellOnce = [&] {
        if (!told && longWait) {
            told = true;
            longWait();
        }
    };
    // The holder before may have removed the file while this one waited on it: then the
    // lock is on a file nobody else will look at, and the current file is tried instead.
    for (;;) {
        OpenedLock opened = OpenLockFile(path_);
        if (!opened.fd.IsOpen()) {
            error_ = opened.error;
            notRegular_ = opened.notRegular;
            struct stat info {};
            fileAtFault_ = opened.notRegular || ::lstat(path_.c_str(), &info) == 0;
            return;
        }
        if (const int error = LockWaiting(opened.fd.Get(), tellOnce); error != 0) {
            error_ = error;
            return;
        }
        struct stat locked {};
        struct stat current {};
        if (::fstat(opened.fd.Get(), &locked) == 0 && ::lstat(path_.c_str(), &current) == 0 &&
            SameFile(locked, current)) {
            fd_ = opened.fd.Release();
            return;
        }
    }
}

OutputFolderLock::~OutputFolderLock() {
    if (fd_ >= 0) {
        // Removed while still held, so that nobody takes a lock on it that the next
        // holder would not see. Another user's file in a shared folder stays.
        ::unlink(path_.c_str());
        ::close(fd_);
    }
}

}  // namespace tandemix
