#include "document/CandidateIndex.h"

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

std::uint32_t Fingerprint(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32);
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

// Grouping by hashing rather than sorting keeps the build linear, and filling the
// positions in line order leaves every group ascending.
CandidateIndex::CandidateIndex(std::vector<std::uint64_t> keys)
    : keys_(std::move(keys)),
      filter_(std::bit_ceil(keys_.size() / 4 + 1)),
      slots_(std::bit_ceil(keys_.size() + keys_.size() / 2 + 2)) {
    std::vector<std::uint32_t> groupOfLine(keys_.size());
    const std::size_t mask = slots_.size() - 1;
    constexpr std::size_t kPrefetchDistance = 16;
    for (std::size_t p = 0; p < keys_.size(); ++p) {
        // The slots are visited in random order; asking for them early hides the misses.
        if (p + kPrefetchDistance < keys_.size()) {
            __builtin_prefetch(&slots_[keys_[p + kPrefetchDistance] & mask]);
        }
        const std::size_t bit = FilterBit(keys_[p]);
        filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        const std::size_t slot = FindSlot(keys_[p]);
        if (slots_[slot].group == 0) {
            groups_.push_back(Group{keys_[p], 0, 0});
            slots_[slot] = Slot{Fingerprint(keys_[p]), static_cast<std::uint32_t>(groups_.size())};
        }
        const std::uint32_t group = slots_[slot].group - 1;
        ++groups_[group].count;
        groupOfLine[p] = group;
    }
    std::uint32_t start = 0;
    for (Group& group : groups_) {
        group.start = start;
        start += group.count;
        group.count = 0;
    }
    positions_.resize(keys_.size());
    for (std::size_t p = 0; p < keys_.size(); ++p) {
        Group& group = groups_[groupOfLine[p]];
        positions_[group.start + group.count++] = static_cast<std::uint32_t>(p);
    }
}

std::span<const std::uint32_t> CandidateIndex::Candidates(std::uint64_t key, LineIndex from) const {
    const std::size_t bit = FilterBit(key);
    if ((filter_[bit / 64] >> (bit % 64) & 1) == 0) {
        return {};
    }
    const Slot& slot = slots_[FindSlot(key)];
    if (slot.group == 0) {
        return {};
    }
    const Group& group = groups_[slot.group - 1];
    const auto begin = positions_.begin() + group.start;
    const auto end = begin + group.count;
    const auto first = from <= 0
                           ? begin
                           : std::lower_bound(begin, end, static_cast<std::uint64_t>(from),
                                              [](std::uint32_t position, std::uint64_t value) {
                                                  return position < value;
                                              });
    return {first, end};
}

// Bits of the key that the slot number does not use.
std::size_t CandidateIndex::FilterBit(std::uint64_t key) const {
    return static_cast<std::size_t>(key >> 40) & (filter_.size() * 64 - 1);
}

// The slot that holds the key, or the empty slot where it would go.
std::size_t CandidateIndex::FindSlot(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(key) & mask;; slot = (slot + 1) & mask) {
        const Slot& candidate = slots_[slot];
        if (candidate.group == 0 || (candidate.fingerprint == Fingerprint(key) &&
                                     groups_[candidate.group - 1].key == key)) {
            return slot;
        }
    }
}

}  // namespace tandemix
