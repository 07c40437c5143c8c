#include "run/OutputFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tandemix {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int LockWaiting(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

}  // namespace

OutputFolderLock::OutputFolderLock(const std::string& directory)
    : path_(directory + "/" + std::string(kFileName)) {
    // The holder before may have removed the file while this one waited on it: then the
    // lock is on a file nobody else will look at, and the current file is tried instead.
    for (;;) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            error_ = errno;
            return;
        }
        if (const int error = LockWaiting(fd); error != 0) {
            ::close(fd);
            error_ = error;
            return;
        }
        struct stat locked {};
        struct stat current {};
        if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &current) == 0 &&
            SameFile(locked, current)) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
}

OutputFolderLock::~OutputFolderLock() {
    if (fd_ >= 0) {
        // Removed while still held, so that nobody takes a lock on it that the next
        // holder would not see.
        ::unlink(path_.c_str());
        ::close(fd_);
    }
}

}  // namespace tandemix
