#include "folders/FolderListing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
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
    ListingBuilder(TextDocument& document, FolderComparison comparison, FolderListingResult& result,
                   ListedSizes* sizes)
        : document_(document), comparison_(comparison), result_(result), sizes_(sizes) {}

    std::vector<FileLine> Describe(int folderFd, std::span<const FileEntry> files) override {
        std::vector<const FileEntry*> ordered;
        ordered.reserve(files.size());
        for (const FileEntry& file : files) {
            ordered.push_back(&file);
        }
        std::sort(ordered.begin(), ordered.end(), [](const FileEntry* a, const FileEntry* b) {
            return NameBefore(a->name, b->name);
        });
        std::vector<FileLine> lines = comparison_ == FolderComparison::ByTime
                                          ? TimeLines(ordered)
                                          : ContentLines(folderFd, ordered);
        // Stable and descending: texts equal after folding keep the ascending name order,
        // which is where inserting each one before the first smaller text puts them.
        std::stable_sort(lines.begin(), lines.end(), [](const FileLine& a, const FileLine& b) {
            return CompareListingTexts(a.text, b.text, LetterCase::Folded) > 0;
        });
        return lines;
    }

    void AddBlock(std::string_view relativePath, int depth, std::vector<FileLine> lines) override {
        if (lines.empty()) {
            return;
        }
        document_.BeginSection(std::string(relativePath));
        const std::size_t indentWidth = 2 * static_cast<std::size_t>(depth) + 4;
        std::string text(indentWidth, ' ');
        for (const FileLine& line : lines) {
            text.resize(indentWidth);
            text.append(line.text);
            document_.AddLine(text);
            if (sizes_ != nullptr) {
                sizes_->push_back(line.size);
            }
        }
    }

private:
    std::vector<FileLine> TimeLines(const std::vector<const FileEntry*>& files) {
        std::vector<FileLine> lines;
        lines.reserve(files.size());
        for (const FileEntry* file : files) {
            FileLine line{file->name, static_cast<std::uint64_t>(file->info.st_size)};
            if (AppendTimeStamp(file->info.st_mtime, line.text)) {
                lines.push_back(std::move(line));
            } else {
                ++result_.otherFailures;
            }
        }
        return lines;
    }

    std::vector<FileLine> ContentLines(int folderFd, const std::vector<const FileEntry*>& files) {
        std::vector<ContentRequest> requests;
        for (const FileEntry* file : files) {
            if (S_ISREG(file->info.st_mode)) {
                requests.push_back(
                    ContentRequest{file->name.c_str(), file->info.st_dev, file->info.st_ino,
                                   static_cast<std::uint64_t>(file->info.st_size), std::nullopt});
            }
        }
        reader_.Read(folderFd, requests);
        std::vector<FileLine> lines;
        lines.reserve(files.size());
        auto request = requests.begin();
        for (const FileEntry* file : files) {
            const auto size = static_cast<std::uint64_t>(file->info.st_size);
            if (!S_ISREG(file->info.st_mode)) {
                lines.push_back(FileLine{file->name + KindText(file->info.st_mode), size});
                continue;
            }
            result_.unreadableFiles += request->content ? 0 : 1;
            lines.push_back(FileLine{ContentText(file->name, request->content), size});
            ++request;
        }
        return lines;
    }

    TextDocument& document_;
    FolderComparison comparison_;
    FolderListingResult& result_;
    ListedSizes* sizes_;
    FileContentReader reader_;
};

}  // namespace

FolderListingResult LoadFolder(TextDocument& document, std::string path, const OptionMap& options,
                               const FolderListingChoices& choices, ListedSizes* sizes) {
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
    ListingBuilder builder(document, choices.comparison, result, sizes);
    WalkFolders(std::move(top), choices.entryLimit, builder, result);
    return result;
}

std::uint64_t ResizedFilePairs(const TextDocument& rows1, const TextDocument& rows2,
                               const std::array<ListedSizes, 2>& sizes) {
    // A listing's lines are numbered from 1 in the order they were added, as are its sizes.
    const auto sizeOf = [](const ListedSizes& listed,
                           SourceLine line) -> std::optional<std::uint64_t> {
        if (line == 0 || line > listed.size()) {
            return std::nullopt;
        }
        return listed[line - 1];
    };
    std::uint64_t count = 0;
    const LineIndex rows = std::min(rows1.GetLineCount(), rows2.GetLineCount());
    for (LineIndex row = 0; row < rows; ++row) {
        if (rows1.GetMark(row) != LineMark::MarkUnchanged ||
            rows2.GetMark(row) != LineMark::MarkUnchanged) {
            continue;
        }
        const std::optional<std::uint64_t> size1 = sizeOf(sizes[0], rows1.GetSourceLine(row));
        const std::optional<std::uint64_t> size2 = sizeOf(sizes[1], rows2.GetSourceLine(row));
        count += size1 && size2 && *size1 != *size2 ? 1 : 0;
    }
    return count;
}

}  // namespace tandemix
