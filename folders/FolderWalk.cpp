#include "folders/FolderWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <unordered_set>
#include <utility>

#include "base/WorkingFiles.h"
#include "folders/ListingOrder.h"

namespace tandemix {
namespace {

// Folders more levels above the newest than this budget are closed and found again
// through ".." on the way back, which keeps the descriptors in use bounded: a small share
// of what the process may open, since two walks and their readers run at once.
std::size_t OpenFolderBudget() {
    rlimit limit{};
    const rlim_t allowed = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 256;
    return std::clamp<std::size_t>(static_cast<std::size_t>(allowed / 8), 4, 64);
}
// Room for a few hundred names per system call.
constexpr std::size_t kNamesBufferSize = 32 * 1024;
// Only a loop in the file system itself could make ".." climb for longer.
constexpr int kMaxAncestors = 1 << 20;

#ifdef O_PATH
constexpr int kLookupOnly = O_PATH;
#else
constexpr int kLookupOnly = O_RDONLY;
#endif

struct FolderId {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<ino_t>()(id.inode) * 31 + std::hash<dev_t>()(id.device);
    }
};

using FolderIds = std::unordered_set<FolderId, FolderIdHash>;

enum class Reach { Directly, ThroughLink };

struct Subfolder {
    std::string name;
    Reach reach = Reach::Directly;
};

struct Level {
    UniqueFd fd;  // closed while it is far above the newest level
    FolderId id;
    Reach entry = Reach::Directly;  // how this folder itself was reached
    Reach path = Reach::Directly;   // whether any folder on its path was reached by a link
    std::vector<Subfolder> subfolders;
    std::size_t next = 0;
    std::vector<FileLine> lines;
    std::size_t pathLength = 0;  // of the relative path before this folder's name
};

std::optional<FolderId> IdOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return FolderId{info.st_dev, info.st_ino};
}

// The folders that enclose the listed one, found through "..", so that a link to any of
// them (such as /proc/self/root) does not lead back over the listed folder.
FolderIds RealAncestors(int top) {
    FolderIds ancestors;
    std::optional<FolderId> id = IdOf(top);
    UniqueFd current(::openat(top, ".", kLookupOnly | O_DIRECTORY | O_CLOEXEC));
    for (int i = 0; id && current.IsOpen() && i < kMaxAncestors; ++i) {
        UniqueFd parent(::openat(current.Get(), "..", kLookupOnly | O_DIRECTORY | O_CLOEXEC));
        const std::optional<FolderId> parentId =
            parent.IsOpen() ? IdOf(parent.Get()) : std::nullopt;
        if (!parentId || *parentId == *id) {
            break;
        }
        ancestors.insert(*parentId);
        id = parentId;
        current = std::move(parent);
    }
    return ancestors;
}

class FolderWalk {
public:
    FolderWalk(std::uint64_t entryLimit, FolderVisitor& visitor, FolderListingResult& result)
        : entryLimit_(entryLimit), visitor_(visitor), result_(result) {}

    void Run(UniqueFd top) {
        ancestors_ = RealAncestors(top.Get());
        wantsFileDetails_ = visitor_.WantsRegularFileDetails();
        const std::optional<FolderId> id = IdOf(top.Get());
        if (!id) {
            ++result_.otherFailures;
            return;
        }
        Enter(std::move(top), *id, Reach::Directly, Reach::Directly, "");
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (!result_.stoppedAfter && level.next < level.subfolders.size()) {
                // Moved out, since entering it may move the levels.
                Subfolder subfolder = std::move(level.subfolders[level.next++]);
                EnterSubfolder(level.fd.Get(), level.path, subfolder);
            } else {
                Leave();
            }
        }
    }

private:
    LeftOutReason CountFailure(int error) {
        if (error == EACCES || error == EPERM) {
            ++result_.noPermission;
            return LeftOutReason::NoPermission;
        }
        if (error == ELOOP) {
            ++result_.brokenLinks;
            return LeftOutReason::BrokenLink;
        }
        ++result_.otherFailures;
        return LeftOutReason::Unreadable;
    }

    void EnterSubfolder(int parentFd, Reach parentPath, const Subfolder& subfolder) {
        UniqueFd fd(::openat(parentFd, subfolder.name.c_str(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
        if (!fd.IsOpen()) {
            visitor_.LeftOut(relativePath_, subfolder.name, CountFailure(errno));
            return;
        }
        const std::optional<FolderId> id = IdOf(fd.Get());
        if (!id) {
            ++result_.otherFailures;
            visitor_.LeftOut(relativePath_, subfolder.name, LeftOutReason::Unreadable);
            return;
        }
        const Reach path = parentPath == Reach::ThroughLink ? Reach::ThroughLink : subfolder.reach;
        if (ancestors_.contains(*id) || onPath_.contains(*id) ||
            (path == Reach::ThroughLink && listed_.contains(*id))) {
            ++result_.linksNotFollowed;
            visitor_.LeftOut(relativePath_, subfolder.name, LeftOutReason::LinkNotFollowed);
            return;
        }
        Enter(std::move(fd), *id, subfolder.reach, path, subfolder.name);
        CloseFarLevel();
    }

    void Enter(UniqueFd fd, FolderId id, Reach entry, Reach path, std::string_view name) {
        Level level;
        level.id = id;
        level.entry = entry;
        level.path = path;
        level.pathLength = relativePath_.size();
        if (!levels_.empty()) {
            relativePath_.append(levels_.size() > 1 ? "/" : "").append(name);
        }
        visitor_.EnterFolder(relativePath_);
        std::vector<FileEntry> files;
        ReadEntries(fd.Get(), level.subfolders, files);
        std::sort(
            level.subfolders.begin(), level.subfolders.end(),
            [](const Subfolder& a, const Subfolder& b) { return NameBefore(a.name, b.name); });
        level.lines = visitor_.Describe(fd.Get(), files);
        level.fd = std::move(fd);
        listed_.insert(id);
        onPath_.insert(id);
        levels_.push_back(std::move(level));
    }

    // Reads every entry but "." and ".." and the program's own working files (an output
    // folder inside a listed one would otherwise count them as differences); subfolders are
    // kept by name, the rest are handed to the visitor with their information. Nothing is
    // opened here.
    void ReadEntries(int fd, std::vector<Subfolder>& subfolders, std::vector<FileEntry>& files) {
        const bool read = ForEachName(fd, [&](std::string_view name, unsigned char type) {
            if (name == "." || name == ".." || IsWorkingFileName(name) ||
                !visitor_.Includes(name)) {
                return true;
            }
            if (++entriesSeen_ > entryLimit_) {
                result_.stoppedAfter = entryLimit_;
                return false;
            }
            AddEntry(fd, std::string(name), type, subfolders, files);
            return true;
        });
        if (!read) {
            ++result_.otherFailures;
        }
    }

    // Calls each(name, d_type) for the folder's entries until it returns false; false when
    // the folder could not be read to its end.
    template <class Each>
    bool ForEachName(int fd, Each each) {
#if defined(__linux__)
        // Straight from the descriptor: a directory stream would cost a copy of the
        // descriptor and more system calls per folder, which shows in trees of small folders.
        buffer_.resize(kNamesBufferSize);
        for (;;) {
            const ssize_t got = ::getdents64(fd, buffer_.data(), buffer_.size());
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return got == 0;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* item = reinterpret_cast<const dirent64*>(buffer_.data() + at);
                at += item->d_reclen;
                if (!each(std::string_view(item->d_name), item->d_type)) {
                    return true;
                }
            }
        }
#else
        const std::unique_ptr<DIR, int (*)(DIR*)> folder(
            ::fdopendir(::fcntl(fd, F_DUPFD_CLOEXEC, 0)), ::closedir);
        if (!folder) {
            return false;
        }
        errno = 0;
        while (const dirent* item = ::readdir(folder.get())) {
            if (!each(std::string_view(item->d_name), item->d_type)) {
                return true;
            }
            errno = 0;
        }
        return errno == 0;
#endif
    }

    void AddEntry(int fd, std::string name, unsigned char type, std::vector<Subfolder>& subfolders,
                  std::vector<FileEntry>& files) {
        struct stat info {};
        // The directory knows a regular file or a folder that is not a link as such; a
        // folder is looked at when it is entered, where any failure is counted as well.
        if (type == DT_REG && !wantsFileDetails_) {
            info.st_mode = S_IFREG;
            files.push_back(FileEntry{std::move(name), info, false});
            return;
        }
        if (type == DT_DIR) {
            subfolders.push_back(Subfolder{std::move(name), Reach::Directly});
            return;
        }
        if (::fstatat(fd, name.c_str(), &info, 0) != 0) {
            const int error = errno;
            struct stat own {};
            const bool link =
                ::fstatat(fd, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(own.st_mode);
            LeftOutReason reason = LeftOutReason::BrokenLink;
            if (link && error == ENOENT) {
                ++result_.brokenLinks;
            } else {
                reason = CountFailure(error);
            }
            visitor_.LeftOut(relativePath_, name, reason);
            return;
        }
        if (!S_ISDIR(info.st_mode)) {
            files.push_back(FileEntry{std::move(name), info});
            return;
        }
        bool link = type == DT_LNK;
        if (type == DT_UNKNOWN) {
            struct stat own {};
            link =
                ::fstatat(fd, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(own.st_mode);
        }
        subfolders.push_back(
            Subfolder{std::move(name), link ? Reach::ThroughLink : Reach::Directly});
    }

    // Closes the folder that has fallen out of the budget, unless the way back to it from
    // the folder below leads through a link, where ".." would not return to it.
    void CloseFarLevel() {
        if (levels_.size() <= openBudget_ + 1) {
            return;
        }
        const std::size_t far = levels_.size() - 1 - openBudget_;
        if (levels_[far + 1].entry == Reach::Directly) {
            levels_[far].fd.Reset();
        }
    }

    void Leave() {
        Level level = std::move(levels_.back());
        levels_.pop_back();
        visitor_.AddBlock(relativePath_, static_cast<int>(levels_.size()), std::move(level.lines));
        relativePath_.resize(level.pathLength);
        onPath_.erase(level.id);
        if (!levels_.empty() && !levels_.back().fd.IsOpen()) {
            ReopenParent(level.fd);
        }
        visitor_.LeaveFolder(level.fd);
    }

    // Finds the closed folder above the one left again through "..".
    void ReopenParent(const UniqueFd& left) {
        Level& parent = levels_.back();
        if (left.IsOpen()) {
            UniqueFd up(::openat(left.Get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            // The tree may have been moved meanwhile; then ".." is some other folder.
            if (up.IsOpen() && IdOf(up.Get()) == parent.id) {
                parent.fd = std::move(up);
                return;
            }
        }
        result_.otherFailures += parent.subfolders.size() - parent.next;
        parent.next = parent.subfolders.size();
    }

    std::uint64_t entryLimit_;
    std::size_t openBudget_ = OpenFolderBudget();
    FolderVisitor& visitor_;
    FolderListingResult& result_;
    FolderIds ancestors_;
    FolderIds onPath_;
    FolderIds listed_;
    std::vector<Level> levels_;
    std::string relativePath_;
    std::uint64_t entriesSeen_ = 0;
    bool wantsFileDetails_ = true;
    std::vector<char> buffer_;  // names as the directory yields them
};

}  // namespace

void WalkFolders(UniqueFd top, std::uint64_t entryLimit, FolderVisitor& visitor,
                 FolderListingResult& result) {
    FolderWalk(entryLimit, visitor, result).Run(std::move(top));
}

}  // namespace tandemix
