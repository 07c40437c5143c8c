#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "document/LineIndex.h"

namespace tandemix {

// The lines of a document grouped by a hash of their match keys: for a key, the ascending
// positions of the lines in its bucket, found with two reads. A key combines the line hash
// with a strong hash of the matching text, so lines with equal hash and equal matching text
// always share a bucket; a bucket also holds a few other lines, and callers compare the
// candidates anyway.
//
// It costs four bytes per line and about four per bucket, and is built in two passes with
// four bytes per line more for the time of the build.
class CandidateIndex {
public:
    static std::uint64_t MatchKey(std::int32_t lineHash, std::string_view matchText);

    // Indexes lines 0 to count - 1; keyOf(p) gives the match key of line p.
    CandidateIndex(std::uint32_t count, const std::function<std::uint64_t(std::uint32_t)>& keyOf);

    // The positions at or after `from` in the key's bucket, in ascending order.
    std::span<const std::uint32_t> Candidates(std::uint64_t key, LineIndex from) const;

    std::size_t MemoryUse() const;

private:
    std::size_t BucketOf(std::uint64_t key) const { return static_cast<std::size_t>(key) & mask_; }

    std::size_t mask_ = 0;
    // Bucket b holds positions_[starts_[b]] up to, not including, positions_[starts_[b + 1]].
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> positions_;
};

}  // namespace tandemix
