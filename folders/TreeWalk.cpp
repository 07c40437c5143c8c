#include "folders/TreeWalk.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/Paths.h"
#include "folders/FolderWalk.h"

namespace tandemix {
namespace {

SideEntry Describe(std::string path, const struct stat& info) {
    SideEntry entry{std::move(path), {}, 0};
    entry.side.type = static_cast<std::uint32_t>(info.st_mode & S_IFMT);
    if (S_ISDIR(info.st_mode)) {
        entry.side.kind = EntryKind::Folder;
    } else if (S_ISREG(info.st_mode)) {
        entry.side.kind = EntryKind::File;
        entry.side.size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    } else {
        entry.side.kind = EntryKind::Special;
        entry.rdev = static_cast<std::uint64_t>(info.st_rdev);
    }
    return entry;
}

// Folders held open for opening their files later: a share of the descriptors the process
// may open, since both sides are listed at once, and their walks, the readers and the caller
// need some too. A folder beyond it is found from the top again.
std::size_t KeptFoldersBudget() {
    rlimit limit{};
    const rlim_t allowed = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 256;
    constexpr rlim_t kReserved = 256;
    return allowed > kReserved ? static_cast<std::size_t>((allowed - kReserved) / 4) : 0;
}

class TreeCollector final : public FolderVisitor {
public:
    TreeCollector(const std::vector<std::string>& exclusions, SideListing& listing)
        : exclusions_(exclusions), entries_(listing.entries), folders_(listing.folders) {}

    bool Includes(std::string_view name) override {
        const std::string terminated(name);
        return std::none_of(exclusions_.begin(), exclusions_.end(),
                            [&](const std::string& pattern) {
                                return ::fnmatch(pattern.c_str(), terminated.c_str(), 0) == 0;
                            });
    }

    void EnterFolder(std::string_view relativePath) override {
        folder_ = relativePath;
        folderIndex_ = static_cast<std::uint32_t>(folders_.size());
        folders_.emplace_back();
        entered_.push_back(folderIndex_);
        if (!folder_.empty()) {
            SideEntry entry{folder_, {}, 0};
            entry.side.kind = EntryKind::Folder;
            entry.side.type = S_IFDIR;
            entries_.push_back(std::move(entry));
        }
    }

    bool WantsRegularFileDetails() override { return false; }

    std::vector<FileLine> Describe(int, std::span<const FileEntry> files) override {
        for (const FileEntry& file : files) {
            entries_.push_back(tandemix::Describe(Join(folder_, file.name), file.info));
            entries_.back().sized = file.detailed;
            entries_.back().folder = folderIndex_;
        }
        return {};
    }

    void AddBlock(std::string_view, int, std::vector<FileLine>) override {}

    void LeaveFolder(UniqueFd& fd) override {
        const std::uint32_t index = entered_.back();
        entered_.pop_back();
        if (kept_ < keptBudget_ && fd.IsOpen()) {
            folders_[index] = std::move(fd);
            ++kept_;
        }
    }

    // A folder the walk does not enter again is still there; whatever else it could not
    // describe is there but unreadable.
    void LeftOut(std::string_view folderPath, std::string_view name,
                 LeftOutReason reason) override {
        SideEntry entry{Join(folderPath, name), {}, 0};
        if (reason == LeftOutReason::LinkNotFollowed) {
            entry.side.kind = EntryKind::Folder;
            entry.side.type = S_IFDIR;
        } else {
            entry.side.kind = EntryKind::Unreadable;
        }
        entries_.push_back(std::move(entry));
    }

private:
    static std::string Join(std::string_view folder, std::string_view name) {
        std::string path;
        path.reserve(folder.size() + 1 + name.size());
        path.append(folder).append(folder.empty() ? "" : "/").append(name);
        return path;
    }

    const std::vector<std::string>& exclusions_;
    std::vector<SideEntry>& entries_;
    std::vector<UniqueFd>& folders_;
    std::string folder_;
    std::uint32_t folderIndex_ = SideEntry::kNoFolder;
    std::vector<std::uint32_t> entered_;  // the folders on the walk's path
    std::size_t kept_ = 0;
    std::size_t keptBudget_ = KeptFoldersBudget();
};

}  // namespace

SideListing ListTree(const std::string& path, const TreeChoices& choices) {
    SideListing listing;
    listing.result.listed = true;
    const std::string trimmed = WithoutTrailingSeparators(path);
    struct stat info {};
    if (::stat(trimmed.c_str(), &info) != 0) {
        listing.entries.push_back(SideEntry{"", {EntryKind::Unreadable, 0, 0}, 0});
        return listing;
    }
    if (!S_ISDIR(info.st_mode)) {
        listing.entries.push_back(Describe("", info));
        return listing;
    }
    UniqueFd top(::open(trimmed.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (!top.IsOpen()) {
        ++(errno == EACCES || errno == EPERM ? listing.result.noPermission
                                             : listing.result.otherFailures);
        return listing;
    }
    TreeCollector collector(choices.exclusions, listing);
    WalkFolders(std::move(top), choices.entryLimit, collector, listing.result);
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const SideEntry& a, const SideEntry& b) { return PathBefore(a.path, b.path); });
    return listing;
}

}  // namespace tandemix
