#pragma once

#include <string>
#include <string_view>

#include "base/ByteSink.h"
#include "base/UniqueFd.h"
#include "base/WorkingFiles.h"

namespace tandemix {

// Writes every byte, going on after interruptions: 0, or the error number of the write
// that failed.
int WriteAll(int fd, std::string_view bytes);

// Files being written carry kPartPrefix until they take their place, so that what a
// killed program left behind can be told from everything else in the folder.

// A new name beside the path for the file that will replace it: the prefix, this
// process's number, a counter and the file's own name.
std::string PartPathFor(const std::string& path);

// A new part file beside the path, opened for writing: never through a link, and never one
// that is there already (a killed run of another user with this process's number may have
// left one that cannot be removed). Its path goes to `partPath`; on failure the error
// number is in errno and `partPath` is empty.
UniqueFd CreatePartFile(const std::string& path, std::string& partPath);

// Removes every file of the folder that carries the prefix, leaving alone what cannot be
// removed. Only safe while no other program writes into the folder.
void RemoveLeftoverParts(const std::string& directory);

// Writes the bytes to a new file beside the path and renames it over the path, so that
// the file is replaced whole or not at all. False when anything fails; the old file is
// then unchanged.
bool ReplaceFile(const std::string& path, std::string_view bytes);

// The same replacement for a file written piece by piece: the bytes go to a new file beside
// the path, which Commit renames over it. Without a successful Commit the new file is
// removed and the old one stays as it was.
class FileReplacement final : public ByteSink {
public:
    explicit FileReplacement(std::string path);
    ~FileReplacement() override;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void Append(std::string_view bytes) override;
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
