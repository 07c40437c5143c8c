#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/LineEntry.h"

namespace tandemix {

// For every distinct match key of a document, the ascending positions of its lines, found
// in constant time. A key combines the line hash with a strong hash of the matching text,
// so lines with equal hash and equal matching text always share a key and lines that
// differ rarely do; callers still compare the texts of the candidates.
class CandidateIndex {
public:
    static std::uint64_t MatchKey(std::int32_t lineHash, std::string_view matchText);

    // keys[p] is the match key of line p.
    explicit CandidateIndex(const std::vector<std::uint64_t>& keys);

    // The positions at or after `from` whose key equals `key`, in ascending order.
    std::span<const std::uint32_t> Candidates(std::uint64_t key, LineIndex from) const;

private:
    std::size_t SlotOf(std::uint64_t key) const;

    std::vector<std::uint64_t> groupKeys_;
    // Group g owns positions_[groupStarts_[g]] up to positions_[groupStarts_[g + 1]].
    std::vector<std::uint32_t> groupStarts_;
    std::vector<std::uint32_t> positions_;
    // Open addressing: group number + 1, or 0 for an empty slot.
    std::vector<std::uint32_t> slots_;
};

}  // namespace tandemix
