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

}  // namespace

std::uint64_t CandidateIndex::MatchKey(std::int32_t lineHash, std::string_view matchText) {
    std::uint64_t h = Mix(static_cast<std::uint32_t>(lineHash) ^ (matchText.size() * kGolden));
    const char* bytes = matchText.data();
    std::size_t left = matchText.size();
    for (; left >= 8; left -= 8, bytes += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        h = Mix(h ^ word) + kGolden;
    }
    std::uint64_t tail = 0;
    if (left > 0) {
        std::memcpy(&tail, bytes, left);
    }
    return Mix(h ^ tail);
}

CandidateIndex::CandidateIndex(const std::vector<std::uint64_t>& keys) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byKey(keys.size());
    for (std::size_t p = 0; p < keys.size(); ++p) {
        byKey[p] = {keys[p], static_cast<std::uint32_t>(p)};
    }
    std::sort(byKey.begin(), byKey.end());

    positions_.reserve(byKey.size());
    for (std::size_t p = 0; p < byKey.size(); ++p) {
        if (p == 0 || byKey[p].first != byKey[p - 1].first) {
            groupKeys_.push_back(byKey[p].first);
            groupStarts_.push_back(static_cast<std::uint32_t>(p));
        }
        positions_.push_back(byKey[p].second);
    }
    groupStarts_.push_back(static_cast<std::uint32_t>(byKey.size()));

    slots_.assign(std::bit_ceil(2 * groupKeys_.size() + 2), 0);
    for (std::size_t g = 0; g < groupKeys_.size(); ++g) {
        std::size_t slot = SlotOf(groupKeys_[g]);
        while (slots_[slot] != 0) {
            slot = (slot + 1) & (slots_.size() - 1);
        }
        slots_[slot] = static_cast<std::uint32_t>(g + 1);
    }
}

std::span<const std::uint32_t> CandidateIndex::Candidates(std::uint64_t key, LineIndex from) const {
    for (std::size_t slot = SlotOf(key); slots_[slot] != 0;
         slot = (slot + 1) & (slots_.size() - 1)) {
        const std::size_t group = slots_[slot] - 1;
        if (groupKeys_[group] != key) {
            continue;
        }
        const auto begin = positions_.begin() + groupStarts_[group];
        const auto end = positions_.begin() + groupStarts_[group + 1];
        const auto first = from <= 0
                               ? begin
                               : std::lower_bound(begin, end, static_cast<std::uint64_t>(from),
                                                  [](std::uint32_t position, std::uint64_t value) {
                                                      return position < value;
                                                  });
        return {first, end};
    }
    return {};
}

std::size_t CandidateIndex::SlotOf(std::uint64_t key) const {
    return static_cast<std::size_t>(key >> 7) & (slots_.size() - 1);
}

}  // namespace tandemix
