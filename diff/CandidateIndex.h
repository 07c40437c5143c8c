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
// It costs four bytes per line, about four per bucket and one for a bit filter that turns
// most absent keys away without a look at the buckets, and is built in two passes with four
// bytes per line more for the time of the build.
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
    // The filter's bit for a key: the top bits of a multiplicative hash, unrelated to the
    // bucket's low bits, and as many of them as the filter has bits.
    std::uint64_t FilterBit(std::uint64_t key) const {
        return (key * 0x9E3779B97F4A7C15ULL) >> filterShift_;
    }
    bool MayHold(std::uint64_t key) const {
        const std::uint64_t bit = FilterBit(key);
        return (filter_[bit / 64] >> (bit % 64) & 1) != 0;
    }

    std::size_t mask_ = 0;
    // About eight bits per line, a power of two of them; small enough to stay in the cache
    // for inputs that share few lines, where most searches find nothing.
    unsigned filterShift_ = 64;
    std::vector<std::uint64_t> filter_;
    // Bucket b holds positions_[starts_[b]] up to, not including, positions_[starts_[b + 1]].
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> positions_;
};

}  // namespace tandemix
