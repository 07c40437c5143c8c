#include "document/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tandemix {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads until end of file into buffer[size..capacity); false on a read error.
bool ReadInto(int fd, char* buffer, std::size_t capacity, std::size_t& size) {
    while (size < capacity) {
        const ssize_t got = ::read(fd, buffer + size, capacity - size);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        size += static_cast<std::size_t>(got);
    }
    return true;
}

// Pipes and special files report no size: read them in growing pieces.
std::optional<FileBytes> ReadStream(int fd) {
    auto text = std::make_shared<std::string>();
    std::size_t size = 0;
    for (std::size_t capacity = 64 << 10;; capacity *= 2) {
        text->resize(capacity);
        if (!ReadInto(fd, text->data(), capacity, size)) {
            return std::nullopt;
        }
        if (size < capacity) {
            break;
        }
    }
    text->resize(size);
    text->shrink_to_fit();
    const std::string_view bytes = *text;
    return FileBytes{std::move(text), bytes};
}

}  // namespace

std::optional<FileBytes> ReadFileBytes(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStream(file.Get());
    }
    // One more byte than the size tells whether the file grew while it was read.
    const auto expected = static_cast<std::size_t>(info.st_size);
    auto buffer = std::make_shared_for_overwrite<char[]>(expected + 1);
    std::size_t size = 0;
    if (!ReadInto(file.Get(), buffer.get(), expected + 1, size)) {
        return std::nullopt;
    }
    if (size > expected) {
        if (::lseek(file.Get(), 0, SEEK_SET) != 0) {
            return std::nullopt;
        }
        return ReadStream(file.Get());
    }
    const std::string_view bytes(buffer.get(), size);
    return FileBytes{std::move(buffer), bytes};
}

std::size_t CountLineFeeds(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace tandemix
