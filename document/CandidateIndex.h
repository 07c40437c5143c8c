#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/LineIndex.h"

namespace tandemix {

// For every distinct match key of a document, the ascending positions of its lines, found
// in constant time. A key combines the line hash with a strong hash of the matching text,
// so lines with equal hash and equal matching text always share a key and lines that
// differ rarely do; callers still compare the texts of the candidates.
class CandidateIndex {
public:
    static std::uint64_t MatchKey(std::int32_t lineHash, std::string_view matchText);

    // keys[p] is the match key of line p.
    explicit CandidateIndex(std::vector<std::uint64_t> keys);

    // The match key of line p of the indexed document.
    std::uint64_t KeyOf(LineIndex p) const { return keys_[static_cast<std::size_t>(p)]; }

    // The positions at or after `from` whose key equals `key`, in ascending order.
    std::span<const std::uint32_t> Candidates(std::uint64_t key, LineIndex from) const;

private:
    struct Group {
        std::uint64_t key = 0;
        std::uint32_t start = 0;  // first of its positions in positions_
        std::uint32_t count = 0;
    };
    // Open addressing: a slot holds the key's upper half, to reject most strangers without
    // touching the groups, and the group number + 1 (0 for an empty slot).
    struct Slot {
        std::uint32_t fingerprint = 0;
        std::uint32_t group = 0;
    };

    std::size_t FindSlot(std::uint64_t key) const;
    std::size_t FilterBit(std::uint64_t key) const;

    // One bit per hashed key, a table small enough to stay in the cache: most lines that
    // occur nowhere are turned away here without a look at the large slot table.
    std::vector<std::uint64_t> keys_;
    std::vector<std::uint64_t> filter_;
    std::vector<Slot> slots_;
    std::vector<Group> groups_;
    std::vector<std::uint32_t> positions_;
};

}  // namespace tandemix
