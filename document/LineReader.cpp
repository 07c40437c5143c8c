#include "document/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/UniqueFd.h"

namespace tandemix {
namespace {

enum class ReadEnd { AtEndOfFile, AtShortRead };

// Reads until end of file into buffer[size..capacity), or only until a read gives less than
// asked for; the error number on a read error.
int ReadInto(int fd, char* buffer, std::size_t capacity, std::size_t& size,
             ReadEnd end = ReadEnd::AtEndOfFile) {
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
        if (end == ReadEnd::AtShortRead && size < capacity) {
            return 0;
        }
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

bool StartsBinary(std::string_view bytes, std::size_t probeBytes) {
    return std::memchr(bytes.data(), 0, std::min(bytes.size(), probeBytes)) != nullptr;
}

}  // namespace

FileRead ReadFileBytes(const std::string& path, std::uint64_t mostBytes, std::size_t probeBytes) {
    // Looked at before it is opened: opening a pipe waits for a writer, and opening some
    // devices does something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Failed(InputProblemKind::Unreadable, errno);
    }
    if (auto refused = RefusedBeforeReading(info, mostBytes)) {
        return std::move(*refused);
    }
    return ReadFoundFileBytes(AT_FDCWD, path.c_str(), std::nullopt, mostBytes, probeBytes);
}

FileRead ReadFoundFileBytes(int folder, const char* path, std::optional<std::uint64_t> foundSize,
                            std::uint64_t mostBytes, std::size_t probeBytes) {
    if (foundSize > mostBytes) {
        return Failed(InputProblemKind::TooLarge);
    }
    // Not blocking, in case the path names something else by the time it is opened.
    const UniqueFd file(::openat(folder, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) {
        return Failed(InputProblemKind::Unreadable, errno);
    }
    struct stat info {};
    const auto lookAtFile = [&]() -> std::optional<FileRead> {
        if (::fstat(file.Get(), &info) != 0) {
            return Failed(InputProblemKind::Unreadable, errno);
        }
        return RefusedBeforeReading(info, mostBytes);
    };
    if (!foundSize) {
        if (auto refused = lookAtFile()) {
            return std::move(*refused);
        }
    }
    // One more byte than the size tells whether the file grew while it was read.
    const auto expected = static_cast<std::size_t>(foundSize.value_or(info.st_size));
    auto buffer = std::make_shared_for_overwrite<char[]>(expected + 1);
    std::size_t size = 0;
    // A large file is looked at before the rest is read; a small one costs one read less.
    constexpr std::size_t kReadAtOnce = 64 * 1024;
    const std::size_t firstPiece = probeBytes > 0 && expected > kReadAtOnce ? probeBytes : 0;
    // A file of the size found ends where it was expected to; one that does not is looked
    // at, and read on to its end if it is still a regular file.
    const ReadEnd end = foundSize ? ReadEnd::AtShortRead : ReadEnd::AtEndOfFile;
    for (const std::size_t capacity : {firstPiece, expected + 1}) {
        if (const int error = ReadInto(file.Get(), buffer.get(), capacity, size, end); error != 0) {
            return Failed(InputProblemKind::Unreadable, error);
        }
        if (StartsBinary(std::string_view(buffer.get(), size), probeBytes)) {
            return FileRead{std::nullopt, {}, true};
        }
    }
    if (foundSize && size != expected) {
        if (auto refused = lookAtFile()) {
            return std::move(*refused);
        }
        if (const int error = ReadInto(file.Get(), buffer.get(), expected + 1, size); error != 0) {
            return Failed(InputProblemKind::Unreadable, error);
        }
        if (StartsBinary(std::string_view(buffer.get(), size), probeBytes)) {
            return FileRead{std::nullopt, {}, true};
        }
    }
    if (size > expected) {
        if (::lseek(file.Get(), 0, SEEK_SET) != 0) {
            return Failed(InputProblemKind::Unreadable, errno);
        }
        FileRead grown = ReadGrowing(file.Get(), mostBytes);
        if (grown.file && StartsBinary(grown.file->bytes, probeBytes)) {
            return FileRead{std::nullopt, {}, true};
        }
        return grown;
    }
    const std::string_view bytes(buffer.get(), size);
    return FileRead{FileBytes{std::move(buffer), bytes}, {}};
}

std::size_t CountLineFeeds(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace tandemix
