#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tandemix::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }

    // Writes the bytes as they are, making missing folders, and returns the file's path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);

// The names of a folder's entries, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

// A listening socket at the path, there until this object goes.
class SocketFile {
public:
    explicit SocketFile(const std::string& path);
    ~SocketFile();
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;

private:
    int fd_ = -1;
};

}  // namespace tandemix::testing
