#include "document/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

#include "base/UniqueFd.h"

namespace tandemix {
namespace {

// Reads until end of file into buffer[size..capacity); the error number on a read error.
int ReadInto(int fd, char* buffer, std::size_t capacity, std::size_t& size) {
    while (size < capacity) {
        const ssize_t got = ::read(fd, buffer + size, capacity - size);
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        size += static_cast<std::size_t>(got);
    }
    return 0;
}

FileRead Failed(InputProblemKind kind, int errorNumber = 0) {
    return FileRead{std::nullopt, InputProblem{kind, errorNumber}};
}

// Files that report a wrong size (those of /proc) or grow while they are read: read them in
// growing pieces, up to the limit.
FileRead ReadGrowing(int fd, std::uint64_t mostBytes) {
    auto text = std::make_shared<std::string>();
    std::size_t size = 0;
    // One byte past the limit tells that the file goes beyond it.
    const auto room =
        static_cast<std::size_t>(std::min<std::uint64_t>(mostBytes, SIZE_MAX - 1) + 1);
    for (std::size_t capacity = std::min<std::size_t>(64 << 10, room);;
         capacity = std::min(capacity * 2, room)) {
        text->resize(capacity);
        if (const int error = ReadInto(fd, text->data(), capacity, size); error != 0) {
            return Failed(InputProblemKind::Unreadable, error);
        }
        if (size > mostBytes) {
            return Failed(InputProblemKind::TooLarge);
        }
        if (size < capacity) {
            break;
        }
    }
    text->resize(size);
    text->shrink_to_fit();
    const std::string_view bytes = *text;
    return FileRead{FileBytes{std::move(text), bytes}, {}};
}

std::optional<FileRead> RefusedBeforeReading(const struct stat& info, std::uint64_t mostBytes) {
    if (!S_ISREG(info.st_mode)) {
        return Failed(InputProblemKind::NotRegularFile);
    }
    if (static_cast<std::uint64_t>(info.st_size) > mostBytes) {
        return Failed(InputProblemKind::TooLarge);
    }
    return std::nullopt;
}

}  // namespace

FileRead ReadFileBytes(const std::string& path, std::uint64_t mostBytes) {
    // Looked at before it is opened: opening a pipe waits for a writer, and opening some
    // devices does something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Failed(InputProblemKind::Unreadable, errno);
    }
    if (auto refused = RefusedBeforeReading(info, mostBytes)) {
        return std::move(*refused);
    }
    // Not blocking, in case the path names something else by the time it is opened.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) {
        return Failed(InputProblemKind::Unreadable, errno);
    }
    if (::fstat(file.Get(), &info) != 0) {
        return Failed(InputProblemKind::Unreadable, errno);
    }
    if (auto refused = RefusedBeforeReading(info, mostBytes)) {
        return std::move(*refused);
    }
    // One more byte than the size tells whether the file grew while it was read.
    const auto expected = static_cast<std::size_t>(info.st_size);
    auto buffer = std::make_shared_for_overwrite<char[]>(expected + 1);
    std::size_t size = 0;
    if (const int error = ReadInto(file.Get(), buffer.get(), expected + 1, size); error != 0) {
        return Failed(InputProblemKind::Unreadable, error);
    }
    if (size > expected) {
        if (::lseek(file.Get(), 0, SEEK_SET) != 0) {
            return Failed(InputProblemKind::Unreadable, errno);
        }
        return ReadGrowing(file.Get(), mostBytes);
    }
    const std::string_view bytes(buffer.get(), size);
    return FileRead{FileBytes{std::move(buffer), bytes}, {}};
}

std::size_t CountLineFeeds(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace tandemix
