#include "document/FolderListing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

#include "base/AsciiCase.h"
#include "base/Paths.h"

namespace tandemix {
namespace {

// Only A to Z are folded so that the order does not depend on the locale; all other bytes
// compare as unsigned values.
int CompareBytes(std::string_view a, std::string_view b, bool fold) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (fold) {
            x = AsciiLower(x);
            y = AsciiLower(y);
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Names equal after folding are ordered by their raw bytes, so the order never depends on
// the order the file system hands the entries out.
bool NameBefore(std::string_view a, std::string_view b) {
    const int folded = CompareBytes(a, b, true);
    return folded != 0 ? folded < 0 : CompareBytes(a, b, false) < 0;
}

struct FolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderId&) const = default;
};

struct Entry {
    std::string name;
    bool isFolder;
    FolderId id;
    time_t modified;
};

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    // The root already ends in a separator.
    if (path.back() != '/') {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

// The entries that can be examined, in ascending name order. Only fstatat is used, so
// nothing (a fifo, a device) is ever opened.
std::vector<Entry> ReadEntries(const std::string& folderPath) {
    std::vector<Entry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(folderPath.c_str()), ::closedir);
    if (!folder) {
        return entries;
    }
    const int folderFd = ::dirfd(folder.get());
    while (const dirent* item = ::readdir(folder.get())) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat info {};
        // Follows links; a dangling link or a refused entry is left out.
        if (::fstatat(folderFd, item->d_name, &info, 0) != 0) {
            continue;
        }
        entries.push_back(Entry{std::string(name), S_ISDIR(info.st_mode),
                                FolderId{info.st_dev, info.st_ino}, info.st_mtime});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return NameBefore(a.name, b.name); });
    return entries;
}

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

void ListEntries(TextDocument& document, const std::string& folderPath, int depth,
                 std::vector<FolderId>& openFolders) {
    std::vector<Entry> entries = ReadEntries(folderPath);
    const std::size_t indentWidth = 2 * static_cast<std::size_t>(std::max(depth, 0));

    for (const Entry& entry : entries) {
        if (!entry.isFolder ||
            std::find(openFolders.begin(), openFolders.end(), entry.id) != openFolders.end()) {
            continue;
        }
        openFolders.push_back(entry.id);
        ListEntries(document, JoinPath(folderPath, entry.name), depth + 1, openFolders);
        openFolders.pop_back();
    }

    std::vector<std::string> files;
    files.reserve(entries.size());
    for (Entry& entry : entries) {
        if (entry.isFolder) {
            continue;
        }
        std::string text = std::move(entry.name);
        if (AppendTimeStamp(entry.modified, text)) {
            files.push_back(std::move(text));
        }
    }
    // Stable and descending: texts equal after folding keep the ascending name order, which
    // is where inserting each one before the first smaller text would have put them.
    std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return CompareBytes(a, b, true) > 0;
    });

    std::string line(indentWidth + 4, ' ');
    for (const std::string& text : files) {
        line.resize(indentWidth + 4);
        line.append(text);
        document.AddLine(line);
    }
}

}  // namespace

bool LoadFolder(TextDocument& document, std::string path, const OptionMap& options) {
    document.SetName(path);
    document.AddOptions(options);
    // Only separators leave the root, which stays listable.
    return ListFolder(document, WithoutTrailingSeparators(path), 0);
}

// The listing itself does not depend on the options.
bool ListFolder(TextDocument& document, const std::string& folderPath, int depth) {
    if (folderPath.empty()) {
        return false;
    }
    // The listed folder counts as open, so a link back to it is not followed.
    std::vector<FolderId> openFolders;
    struct stat info {};
    if (::stat(folderPath.c_str(), &info) == 0) {
        openFolders.push_back(FolderId{info.st_dev, info.st_ino});
    }
    ListEntries(document, folderPath, depth, openFolders);
    return true;
}

}  // namespace tandemix
