#include "diff/CandidateIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace tandemix {
namespace {

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;

std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ULL;
    x ^= x >> 33;
    return x;
}

}  // namespace

std::uint64_t CandidateIndex::MatchKey(std::int32_t lineHash, std::string_view matchText) {
    // Sixteen bytes per 64 x 64 -> 128-bit multiply, folded: fast, and mixed well enough
    // for a hash table whose candidates are checked anyway.
    const auto fold = [](std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
        __extension__ using Wide = unsigned __int128;
        const Wide product = static_cast<Wide>(a) * b;
        return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
#else
        return Mix(a) ^ Mix(b + kGolden);
#endif
    };
    constexpr std::uint64_t kOdd = 0xD6E8FEB86659FD93ULL;
    std::uint64_t h = static_cast<std::uint32_t>(lineHash) ^ (matchText.size() * kGolden);
    const char* bytes = matchText.data();
    std::size_t left = matchText.size();
    for (; left >= 16; left -= 16, bytes += 16) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, bytes, 8);
        std::memcpy(&b, bytes + 8, 8);
        h = fold(a ^ h ^ kGolden, b ^ kOdd);
    }
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    if (left > 8) {
        std::memcpy(&a, bytes, 8);
        std::memcpy(&b, bytes + 8, left - 8);
    } else if (left > 0) {
        std::memcpy(&a, bytes, left);
    }
    return Mix(fold(a ^ h ^ kGolden, b ^ kOdd));
}

// A counting sort by bucket: filling the positions in line order leaves every bucket
// ascending. About two lines share a bucket.
CandidateIndex::CandidateIndex(std::uint32_t count,
                               const std::function<std::uint64_t(std::uint32_t)>& keyOf)
    : mask_(std::bit_ceil(std::max<std::size_t>(count / 2, 1)) - 1),
      starts_(mask_ + 2, 0),
      positions_(count) {
    const std::uint64_t filterBits =
        std::bit_ceil(std::max<std::uint64_t>(std::uint64_t{count} * 8, 64));
    filterShift_ = 64 - static_cast<unsigned>(std::countr_zero(filterBits));
    filter_.assign(filterBits / 64, 0);
    std::vector<std::uint32_t> bucketOfLine(count);
    for (std::uint32_t p = 0; p < count; ++p) {
        const std::uint64_t key = keyOf(p);
        bucketOfLine[p] = static_cast<std::uint32_t>(BucketOf(key));
        const std::uint64_t bit = FilterBit(key);
        filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    // The buckets are visited in random order; asking for them early hides the misses.
    constexpr std::uint32_t kAhead = 16;
    for (std::uint32_t p = 0; p < count; ++p) {
        if (p + kAhead < count) {
            __builtin_prefetch(&starts_[bucketOfLine[p + kAhead] + 1], 1);
        }
        ++starts_[bucketOfLine[p] + 1];
    }
    for (std::size_t b = 1; b < starts_.size(); ++b) {
        starts_[b] += starts_[b - 1];
    }
    // starts_[b] serves as the next free place of bucket b while the lines are placed, and
    // ends as the start of bucket b + 1.
    for (std::uint32_t p = 0; p < count; ++p) {
        if (p + 2 * kAhead < count) {
            __builtin_prefetch(&starts_[bucketOfLine[p + 2 * kAhead]], 1);
        }
        if (p + kAhead < count) {
            __builtin_prefetch(&positions_[starts_[bucketOfLine[p + kAhead]]], 1);
        }
        positions_[starts_[bucketOfLine[p]]++] = p;
    }
    std::move_backward(starts_.begin(), starts_.end() - 1, starts_.end());
    starts_.front() = 0;
}

std::span<const std::uint32_t> CandidateIndex::Candidates(std::uint64_t key, LineIndex from) const {
    if (!MayHold(key)) {
        return {};
    }
    const std::size_t bucket = BucketOf(key);
    const auto begin = positions_.begin() + starts_[bucket];
    const auto end = positions_.begin() + starts_[bucket + 1];
    const auto first = from <= 0
                           ? begin
                           : std::lower_bound(begin, end, static_cast<std::uint64_t>(from),
                                              [](std::uint32_t position, std::uint64_t value) {
                                                  return position < value;
                                              });
    return {first, end};
}

std::size_t CandidateIndex::MemoryUse() const {
    return (starts_.capacity() + positions_.capacity()) * sizeof(std::uint32_t) +
           filter_.capacity() * sizeof(std::uint64_t);
}

}  // namespace tandemix
