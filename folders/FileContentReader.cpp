#include "folders/FileContentReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "base/ContentHash.h"
#include "base/SideBySide.h"
#include "base/UniqueFd.h"

namespace tandemix {
namespace {

// Both sides of a comparison are listed at once, which already keeps two cores busy; a
// second thread per side pays only where digesting large files outweighs starting it, as
// when one side is much larger than the other.
constexpr std::uint64_t kBytesWorthSharing = 8 * 1024 * 1024;

bool WorthSharing(std::span<const ContentRequest> requests) {
    std::uint64_t bytes = 0;
    for (const ContentRequest& request : requests) {
        bytes += request.listedSize;
    }
    return requests.size() > 1 && bytes >= kBytesWorthSharing;
}

std::optional<FileContent> ReadContent(int folderFd, const ContentRequest& request,
                                       std::span<std::byte> buffer) {
    const UniqueFd file(
        ::openat(folderFd, request.name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_dev != request.device || info.st_ino != request.inode) {
        return std::nullopt;
    }
    auto left = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    if (left > buffer.size()) {
        ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ContentHash hash;
    FileContent content;
    while (left > 0) {
        const ssize_t got =
            ::read(file.Get(), buffer.data(), std::min<std::uint64_t>(left, buffer.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        // Shorter than its size said: the file shrank, or a pseudo file system guessed.
        if (got == 0) {
            break;
        }
        const auto bytes = static_cast<std::size_t>(got);
        hash.Update(buffer.first(bytes));
        content.size += bytes;
        left -= bytes;
    }
    content.fingerprint = hash.Finish();
    return content;
}

}  // namespace

void FileContentReader::Read(int folderFd, std::span<ContentRequest> requests) {
    std::atomic<std::size_t> next = 0;
    const auto work = [&](std::vector<std::byte>& buffer) {
        buffer.resize(kBufferSize);
        for (std::size_t i = next++; i < requests.size(); i = next++) {
            requests[i].content = ReadContent(folderFd, requests[i], buffer);
        }
    };
    if (!WorthSharing(requests)) {
        work(buffers_[0]);
        return;
    }
    RunSideBySide([&] { work(buffers_[0]); }, [&] { work(buffers_[1]); });
}

}  // namespace tandemix
