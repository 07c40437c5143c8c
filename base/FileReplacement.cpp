#include "base/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

namespace tandemix {
namespace {

// Names taken by other files are skipped; so many in a row means something else is wrong.
constexpr int kPartNameAttempts = 16;

}  // namespace

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string PartPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string part = path.substr(0, nameStart);
    part.append(kPartPrefix).append(std::to_string(::getpid())).append("-");
    part.append(std::to_string(counter++)).append("-");
    return part.append(path, nameStart);
}

void RemoveLeftoverParts(const std::string& directory) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(directory.c_str()), ::closedir);
    if (!folder) {
        return;
    }
    while (const dirent* entry = ::readdir(folder.get())) {
        if (std::string_view(entry->d_name).starts_with(kPartPrefix)) {
            ::unlinkat(::dirfd(folder.get()), entry->d_name, 0);
        }
    }
}

UniqueFd CreatePartFile(const std::string& path, std::string& partPath) {
    for (int attempt = 0; attempt < kPartNameAttempts; ++attempt) {
        partPath = PartPathFor(path);
        UniqueFd fd(
            ::open(partPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.IsOpen()) {
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int error = errno;
    // The name is not ours to remove.
    partPath.clear();
    errno = error;
    return UniqueFd();
}

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    FileReplacement file(path);
    file.Append(bytes);
    return file.Commit();
}

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        failed_ = true;
        return;
    }
    fd_ = CreatePartFile(path_, temporary_).Release();
    failed_ = fd_ < 0;
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Append(std::string_view bytes) {
    if (!failed_ && WriteAll(fd_, bytes) != 0) {
        failed_ = true;
    }
}

bool FileReplacement::Commit() {
    if (fd_ < 0) {
        return false;
    }
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!failed_ && closed && std::rename(temporary_.c_str(), path_.c_str()) == 0) {
        temporary_.clear();
        return true;
    }
    failed_ = true;
    Discard();
    return false;
}

void FileReplacement::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace tandemix
