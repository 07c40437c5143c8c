#include "folders/TreeComparison.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <utility>

#include "base/Paths.h"
#include "base/SideBySide.h"
#include "folders/ContentComparison.h"
#include "folders/FirstPieceReader.h"
#include "folders/RuleEquality.h"
#include "folders/TreeWalk.h"

namespace tandemix {
namespace {

using Found = std::array<const SideEntry*, 2>;

struct Pairing {
    std::vector<TreeEntry> entries;
    std::vector<Found> found;  // what each side's walk found for the entry
};

bool IsOneSided(EntryStatus status) {
    return status == EntryStatus::OnlyIn1 || status == EntryStatus::OnlyIn2;
}

EntryStatus StatusOfBoth(const SideEntry& a, const SideEntry& b) {
    if (a.side.kind == EntryKind::Unreadable || b.side.kind == EntryKind::Unreadable) {
        return EntryStatus::Unreadable;
    }
    if (a.side.kind != b.side.kind || a.side.type != b.side.type) {
        return EntryStatus::KindsDiffer;
    }
    if (a.side.kind == EntryKind::Special && a.rdev != b.rdev) {
        return EntryStatus::Changed;
    }
    // Files are compared by their contents later, folders by what is below them.
    return EntryStatus::Equal;
}

// Whatever is below such an entry is on one side only, as part of the entry's difference.
bool EnclosesOneSided(const TreeEntry& entry) {
    const bool folder =
        entry.sides[0].kind == EntryKind::Folder || entry.sides[1].kind == EntryKind::Folder;
    return folder && entry.status != EntryStatus::Equal;
}

Pairing Pair(const SideListing& listing1, const SideListing& listing2) {
    Pairing pairing;
    const std::vector<SideEntry>& side1 = listing1.entries;
    const std::vector<SideEntry>& side2 = listing2.entries;
    pairing.entries.reserve(std::max(side1.size(), side2.size()));
    std::string oneSided;  // the path, with "/", of the one-sided folder being gone through
    for (std::size_t at1 = 0, at2 = 0; at1 < side1.size() || at2 < side2.size();) {
        const bool take1 = at2 == side2.size() ||
                           (at1 < side1.size() && !PathBefore(side2[at2].path, side1[at1].path));
        const bool take2 = at1 == side1.size() ||
                           (at2 < side2.size() && !PathBefore(side1[at1].path, side2[at2].path));
        const Found found{take1 ? &side1[at1++] : nullptr, take2 ? &side2[at2++] : nullptr};
        TreeEntry entry;
        entry.path = (found[0] != nullptr ? found[0] : found[1])->path;
        for (std::size_t side = 0; side < 2; ++side) {
            if (found[side] != nullptr) {
                entry.sides[side] = found[side]->side;
            }
        }
        entry.status = found[0] == nullptr   ? EntryStatus::OnlyIn2
                       : found[1] == nullptr ? EntryStatus::OnlyIn1
                                             : StatusOfBoth(*found[0], *found[1]);
        if (!oneSided.empty() && entry.path.starts_with(oneSided)) {
            entry.insideOneSided = true;
        } else {
            oneSided.clear();
            if (EnclosesOneSided(entry)) {
                oneSided = entry.path + "/";
            }
        }
        pairing.entries.push_back(std::move(entry));
        pairing.found.push_back(found);
    }
    return pairing;
}

class ContentJudge {
public:
    ContentJudge(const std::array<std::string, 2>& tops, const std::array<SideListing, 2>& listings,
                 const TreeChoices& choices, Sharing sharing,
                 std::array<FolderListingResult, 2>& walks)
        : listings_(listings),
          check_(choices.binaryCheck),
          sizeInsideOneSided_(choices.sizeInsideOneSided),
          walks_(walks),
          comparer_(tops, sharing) {}

    // Files on both sides: equal sizes are compared byte for byte, other sizes differ.
    // Files the walk did not size are opened in any case, and sized there.
    void JudgePairs(Pairing& pairing) {
        std::vector<std::size_t> judged;
        std::vector<FilePair> pairs;
        for (std::size_t i = 0; i < pairing.entries.size(); ++i) {
            TreeEntry& entry = pairing.entries[i];
            if (entry.status != EntryStatus::Equal || entry.sides[0].kind != EntryKind::File) {
                continue;
            }
            const Found& found = pairing.found[i];
            const bool sized = found[0]->sized && found[1]->sized;
            const bool sameSize = entry.sides[0].size == entry.sides[1].size;
            if (sized && !sameSize) {
                entry.status = EntryStatus::Changed;
                if (check_ == BinaryCheck::Skip) {
                    continue;
                }
            } else if (sized && entry.sides[0].size == 0) {
                continue;
            }
            judged.push_back(i);
            pairs.push_back(
                FilePair{{File(0, *found[0]), File(1, *found[1])},
                         !sized || sameSize ? PairWork::CompareBytes : PairWork::ProbeOnly});
        }
        const std::vector<PairVerdict> verdicts = comparer_.Compare(pairs, check_);
        for (std::size_t k = 0; k < judged.size(); ++k) {
            Apply(verdicts[k], pairing.entries[judged[k]]);
        }
    }

    // Files on one side only that the walk did not size; one that is gone or no regular
    // file any more is unreadable.
    void SizeOneSided(Pairing& pairing) {
        std::vector<std::pair<std::size_t, std::size_t>> unsized;  // entry, side
        std::vector<const FileAtPath*> files;
        for (std::size_t i = 0; i < pairing.entries.size(); ++i) {
            const TreeEntry& entry = pairing.entries[i];
            const std::size_t side = entry.status == EntryStatus::OnlyIn1 ? 0 : 1;
            if (IsOneSided(entry.status) && !pairing.found[i][side]->sized &&
                (sizeInsideOneSided_ || !entry.insideOneSided)) {
                unsized.emplace_back(i, side);
                files.push_back(File(side, *pairing.found[i][side]));
            }
        }
        const std::vector<std::optional<std::uint64_t>> sizes = comparer_.Sizes(files);
        for (std::size_t k = 0; k < unsized.size(); ++k) {
            const auto [i, side] = unsized[k];
            EntrySide& found = pairing.entries[i].sides[side];
            if (sizes[k]) {
                found.size = *sizes[k];
            } else {
                found.kind = EntryKind::Unreadable;
                ++walks_[side].unreadableFiles;
            }
        }
    }

    // A file only in 1 and one only in 2 with the same bytes become one moved entry, where
    // that pairing is the only one possible.
    void FindMoves(Pairing& pairing) {
        std::unordered_map<std::uint64_t, std::array<std::vector<std::size_t>, 2>> bySize;
        for (std::size_t i = 0; i < pairing.entries.size(); ++i) {
            const TreeEntry& entry = pairing.entries[i];
            const std::size_t side = entry.status == EntryStatus::OnlyIn1 ? 0 : 1;
            if (IsOneSided(entry.status) && !entry.insideOneSided &&
                entry.sides[side].kind == EntryKind::File &&
                entry.sides[side].size >= kSmallestMovedFile) {
                bySize[entry.sides[side].size][side].push_back(i);
            }
        }
        std::vector<std::array<std::size_t, 2>> candidates;
        std::vector<std::size_t> toFingerprint;
        for (const auto& [size, sides] : bySize) {
            if (sides[0].empty() || sides[1].empty()) {
                continue;
            }
            if (sides[0].size() == 1 && sides[1].size() == 1) {
                candidates.push_back({sides[0][0], sides[1][0]});
                continue;
            }
            for (const auto& indices : sides) {
                toFingerprint.insert(toFingerprint.end(), indices.begin(), indices.end());
            }
        }
        AddFingerprintMatches(pairing, toFingerprint, candidates);
        Move(pairing, candidates);
    }

private:
    const FileAtPath* File(std::size_t side, const SideEntry& found) {
        return &files_.emplace_back(FileAtPath{
            side, &found.path, found.sized ? std::optional(found.side.size) : std::nullopt,
            listings_[side].FolderFd(found)});
    }

    void Apply(const PairVerdict& verdict, TreeEntry& entry) {
        switch (verdict.verdict) {
            case Verdict::Same:
                entry.status = EntryStatus::Equal;
                entry.sides[0].size = entry.sides[1].size = verdict.sizes[0];
                break;
            case Verdict::Different:
                entry.sides[0].size = verdict.sizes[0];
                entry.sides[1].size = verdict.sizes[1];
                entry.status = EntryStatus::Changed;
                entry.binary = verdict.binary;
                break;
            case Verdict::Unreadable1:
            case Verdict::Unreadable2:
                entry.status = EntryStatus::Unreadable;
                ++walks_[verdict.verdict == Verdict::Unreadable1 ? 0 : 1].unreadableFiles;
                break;
        }
    }

    // Among files of one size, a fingerprint found once on each side names a candidate
    // pair; one found more often on either side is ambiguous.
    void AddFingerprintMatches(const Pairing& pairing, const std::vector<std::size_t>& indices,
                               std::vector<std::array<std::size_t, 2>>& candidates) {
        std::vector<const FileAtPath*> files;
        for (std::size_t i : indices) {
            const std::size_t side = pairing.entries[i].status == EntryStatus::OnlyIn1 ? 0 : 1;
            files.push_back(File(side, *pairing.found[i][side]));
        }
        const std::vector<std::optional<std::uint64_t>> fingerprints =
            comparer_.Fingerprints(files);
        struct Seen {
            std::array<std::size_t, 2> count{};
            std::array<std::size_t, 2> index{};
        };
        std::unordered_map<std::uint64_t, std::unordered_map<std::uint64_t, Seen>> seen;
        for (std::size_t k = 0; k < indices.size(); ++k) {
            if (!fingerprints[k]) {
                continue;
            }
            const TreeEntry& entry = pairing.entries[indices[k]];
            const std::size_t side = entry.status == EntryStatus::OnlyIn1 ? 0 : 1;
            Seen& found = seen[entry.sides[side].size][*fingerprints[k]];
            ++found.count[side];
            found.index[side] = indices[k];
        }
        for (const auto& [size, byFingerprint] : seen) {
            for (const auto& [fingerprint, found] : byFingerprint) {
                if (found.count[0] == 1 && found.count[1] == 1) {
                    candidates.push_back(found.index);
                }
            }
        }
    }

    // Only bytes prove two files equal, the fingerprint included.
    void Move(Pairing& pairing, const std::vector<std::array<std::size_t, 2>>& candidates) {
        std::vector<FilePair> pairs;
        for (const auto& [one, two] : candidates) {
            pairs.push_back(
                FilePair{{File(0, *pairing.found[one][0]), File(1, *pairing.found[two][1])},
                         PairWork::CompareBytes});
        }
        const std::vector<PairVerdict> verdicts = comparer_.Compare(pairs, BinaryCheck::Skip);
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            if (verdicts[k].verdict != Verdict::Same) {
                continue;
            }
            TreeEntry& moved = pairing.entries[candidates[k][0]];
            TreeEntry& added = pairing.entries[candidates[k][1]];
            moved.status = EntryStatus::Moved;
            moved.movedTo = std::move(added.path);
            moved.sides[1] = added.sides[1];
            added.path.clear();
            added.status = EntryStatus::Moved;  // gone: taken into the moved entry
        }
    }

    const std::array<SideListing, 2>& listings_;
    BinaryCheck check_;
    bool sizeInsideOneSided_;
    std::array<FolderListingResult, 2>& walks_;
    ContentComparer comparer_;
    std::deque<FileAtPath> files_;  // stays in place while pairs point at it
};

// Changed text files whose lines all match under the options' rules.
void MarkEqualUnderOptions(const std::array<std::string, 2>& tops, const TreeChoices& choices,
                           std::vector<TreeEntry>& entries) {
    if (!HasMatchingRules(choices.options)) {
        return;
    }
    // The patterns are compiled once for all the pairs.
    const MatchRule rule = MatchRule::FromOptions(choices.options, choices.codePage);
    for (TreeEntry& entry : entries) {
        if (entry.status != EntryStatus::Changed || entry.binary ||
            entry.sides[0].kind != EntryKind::File || entry.sides[1].kind != EntryKind::File) {
            continue;
        }
        std::array<std::string, 2> paths = tops;
        for (std::string& path : paths) {
            if (!entry.path.empty()) {
                path.append(path.ends_with('/') ? "" : "/").append(entry.path);
            }
        }
        if (EqualUnderRules(paths[0], paths[1], choices.options, choices.codePage, &rule)) {
            entry.status = EntryStatus::EqualUnderOptions;
        }
    }
}

// A folder on both sides is changed when anything below it is not equal.
void MarkChangedFolders(std::vector<TreeEntry>& entries) {
    std::unordered_map<std::string_view, std::size_t> folders;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        if (entry.status == EntryStatus::Equal && entry.sides[0].kind == EntryKind::Folder) {
            folders.emplace(entry.path, i);
        }
    }
    const auto markAbove = [&](std::string_view path) {
        for (auto slash = path.rfind('/'); slash != std::string_view::npos;
             slash = path.rfind('/')) {
            path = path.substr(0, slash);
            const auto folder = folders.find(path);
            if (folder == folders.end() || entries[folder->second].status != EntryStatus::Equal) {
                return;
            }
            entries[folder->second].status = EntryStatus::Changed;
        }
    };
    for (const TreeEntry& entry : entries) {
        if (entry.status != EntryStatus::Equal && entry.status != EntryStatus::EqualUnderOptions &&
            !entry.insideOneSided) {
            markAbove(entry.path);
            markAbove(entry.movedTo);
        }
    }
}

}  // namespace

TreeComparison CompareTrees(const std::string& path1, const std::string& path2,
                            const TreeChoices& choices) {
    std::array<SideListing, 2> listings;
    // Decided once for the whole comparison.
    const Sharing sharing = SharingForLoad();
    RunSideBySide(
        sharing, [&] { listings[0] = ListTree(path1, choices); },
        [&] { listings[1] = ListTree(path2, choices); });
    TreeComparison comparison;
    comparison.walks = {listings[0].result, listings[1].result};
    Pairing pairing = Pair(listings[0], listings[1]);

    const std::array<std::string, 2> tops{WithoutTrailingSeparators(path1),
                                          WithoutTrailingSeparators(path2)};
    ContentJudge judge(tops, listings, choices, sharing, comparison.walks);
    judge.JudgePairs(pairing);
    judge.SizeOneSided(pairing);
    judge.FindMoves(pairing);
    MarkEqualUnderOptions(tops, choices, pairing.entries);
    MarkChangedFolders(pairing.entries);

    for (SideListing& listing : listings) {
        CloseAll(listing.folders);
    }
    std::erase_if(pairing.entries, [](const TreeEntry& entry) {
        return entry.status == EntryStatus::Moved && entry.movedTo.empty();
    });
    comparison.entries = std::move(pairing.entries);
    return comparison;
}

}  // namespace tandemix
