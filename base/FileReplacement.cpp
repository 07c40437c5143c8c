#include "base/FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace tandemix {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    FileReplacement file(path);
    file.Write(bytes);
    return file.Commit();
}

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        failed_ = true;
        return;
    }
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporary_ = TemporaryNameBeside(path_);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        // The name is not ours to remove.
        temporary_.clear();
        failed_ = true;
    }
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Write(std::string_view bytes) {
    if (!failed_ && !WriteAll(fd_, bytes)) {
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
