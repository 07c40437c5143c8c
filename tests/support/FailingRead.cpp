// Loaded with LD_PRELOAD, makes read(2) fail with EIO once the file named by
// TANDEMIX_FAIL_READ_PATH has been read past its first block: a disk that fails midway.
// Reads of that file are cut to the block so that the failure comes after some bytes.

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr off_t kFirstBlock = 4096;

using ReadFunction = ssize_t (*)(int, void*, size_t);

bool RefersToTarget(int fd) {
    const char* target = std::getenv("TANDEMIX_FAIL_READ_PATH");
    if (target == nullptr) {
        return false;
    }
    char resolved[PATH_MAX];
    char opened[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), opened, sizeof opened - 1);
    if (length < 0 || ::realpath(target, resolved) == nullptr) {
        return false;
    }
    opened[length] = '\0';
    return std::strcmp(opened, resolved) == 0;
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto real = reinterpret_cast<ReadFunction>(::dlsym(RTLD_NEXT, "read"));
    if (RefersToTarget(fd)) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        if (at >= kFirstBlock) {
            errno = EIO;
            return -1;
        }
        count = std::min(count, static_cast<size_t>(kFirstBlock - at));
    }
    return real(fd, buffer, count);
}
