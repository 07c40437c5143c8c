#include "folders/FolderListing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

#include "base/ContentHash.h"
#include "base/Paths.h"
#include "folders/FileContentReader.h"
#include "folders/FolderWalk.h"
#include "folders/ListingOrder.h"

namespace tandemix {
namespace {

// Appends " (dd/mm/yyyy  hh:mm)" in UTC; false when the time cannot be converted.
bool AppendTimeStamp(time_t modified, std::string& text) {
    std::tm utc{};
    if (::gmtime_r(&modified, &utc) == nullptr) {
        return false;
    }
    char stamp[64];
    const int length = std::snprintf(stamp, sizeof stamp, " (%02d/%02d/%d  %02d:%02d)", utc.tm_mday,
                                     utc.tm_mon + 1, utc.tm_year + 1900, utc.tm_hour, utc.tm_min);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof stamp) {
        return false;
    }
    text.append(stamp, static_cast<std::size_t>(length));
    return true;
}

// Entries that are not regular files are never opened: reading a fifo or a device could
// wait or run for ever. They show their kind instead of a fingerprint.
const char* KindText(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return " (FIFO)";
    }
    if (S_ISSOCK(mode)) {
        return " (Socket)";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return " (Ger\xC3\xA4t)";
    }
    return " (Sonderdatei)";
}

std::string ContentText(const std::string& name, const std::optional<FileContent>& content) {
    if (!content) {
        return name + " (unlesbar)";
    }
    return name + " (" + std::to_string(content->size) + " Bytes, " +
           HexDigits(content->fingerprint) + ")";
}

class ListingBuilder final : public FolderVisitor {
public:
    ListingBuilder(TextDocument& document, FolderComparison comparison, FolderListingResult& result)
        : document_(document), comparison_(comparison), result_(result) {}

    std::vector<std::string> Describe(int folderFd, std::span<const FileEntry> files) override {
        std::vector<const FileEntry*> ordered;
        ordered.reserve(files.size());
        for (const FileEntry& file : files) {
            ordered.push_back(&file);
        }
        std::sort(ordered.begin(), ordered.end(), [](const FileEntry* a, const FileEntry* b) {
            return NameBefore(a->name, b->name);
        });
        std::vector<std::string> texts = comparison_ == FolderComparison::ByTime
                                             ? TimeTexts(ordered)
                                             : ContentTexts(folderFd, ordered);
        // Stable and descending: texts equal after folding keep the ascending name order,
        // which is where inserting each one before the first smaller text puts them.
        std::stable_sort(texts.begin(), texts.end(),
                         [](const std::string& a, const std::string& b) {
                             return CompareListingTexts(a, b, LetterCase::Folded) > 0;
                         });
        return texts;
    }

    void AddBlock(std::string_view relativePath, int depth,
                  std::vector<std::string> texts) override {
        if (texts.empty()) {
            return;
        }
        document_.BeginSection(std::string(relativePath));
        const std::size_t indentWidth = 2 * static_cast<std::size_t>(depth) + 4;
        std::string line(indentWidth, ' ');
        for (const std::string& text : texts) {
            line.resize(indentWidth);
            line.append(text);
            document_.AddLine(line);
        }
    }

private:
    std::vector<std::string> TimeTexts(const std::vector<const FileEntry*>& files) {
        std::vector<std::string> texts;
        texts.reserve(files.size());
        for (const FileEntry* file : files) {
            std::string text = file->name;
            if (AppendTimeStamp(file->info.st_mtime, text)) {
                texts.push_back(std::move(text));
            } else {
                ++result_.otherFailures;
            }
        }
        return texts;
    }

    std::vector<std::string> ContentTexts(int folderFd,
                                          const std::vector<const FileEntry*>& files) {
        std::vector<ContentRequest> requests;
        for (const FileEntry* file : files) {
            if (S_ISREG(file->info.st_mode)) {
                requests.push_back(
                    ContentRequest{file->name.c_str(), file->info.st_dev, file->info.st_ino,
                                   static_cast<std::uint64_t>(file->info.st_size), std::nullopt});
            }
        }
        reader_.Read(folderFd, requests);
        std::vector<std::string> texts;
        texts.reserve(files.size());
        auto request = requests.begin();
        for (const FileEntry* file : files) {
            if (!S_ISREG(file->info.st_mode)) {
                texts.push_back(file->name + KindText(file->info.st_mode));
                continue;
            }
            result_.unreadableFiles += request->content ? 0 : 1;
            texts.push_back(ContentText(file->name, request->content));
            ++request;
        }
        return texts;
    }

    TextDocument& document_;
    FolderComparison comparison_;
    FolderListingResult& result_;
    FileContentReader reader_;
};

}  // namespace

FolderListingResult LoadFolder(TextDocument& document, std::string path, const OptionMap& options,
                               const FolderListingChoices& choices) {
    document.SetName(path);
    document.AddOptions(options);
    FolderListingResult result;
    // Only separators leave the root, which stays listable.
    path = WithoutTrailingSeparators(path);
    if (path.empty()) {
        return result;
    }
    result.listed = true;
    UniqueFd top(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (!top.IsOpen()) {
        // A folder that cannot be opened contributes no lines, as one deeper down.
        if (errno == EACCES || errno == EPERM) {
            ++result.noPermission;
        } else {
            ++result.otherFailures;
        }
        return result;
    }
    ListingBuilder builder(document, choices.comparison, result);
    WalkFolders(std::move(top), choices.entryLimit, builder, result);
    return result;
}

}  // namespace tandemix
