#pragma once

#include <string>
#include <string_view>

#include "base/OutputSink.h"

namespace tandemix {

// Writes the bytes to a new file beside the path and renames it over the path, so that
// the file is replaced whole or not at all. False when anything fails; the old file is
// then unchanged.
bool ReplaceFile(const std::string& path, std::string_view bytes);

// The same replacement for a file written piece by piece: the bytes go to a new file beside
// the path, which Commit renames over it. Without a successful Commit the new file is
// removed and the old one stays as it was.
class FileReplacement final : public OutputSink {
public:
    explicit FileReplacement(std::string path);
    ~FileReplacement() override;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void Write(std::string_view bytes) override;
    // False when the file could not be created, written or renamed.
    bool Commit();

private:
    void Discard();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace tandemix
