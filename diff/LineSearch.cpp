#include "diff/LineSearch.h"

#include <algorithm>
#include <string>

namespace tandemix {

LineSearch::LineSearch(const TextDocument& searched, Indexing indexing) : searched_(searched) {
    if (indexing == Indexing::Linear) {
        return;
    }
    const auto& hashes = searched.GetLineHashes();
    std::string scratch;
    index_.emplace(static_cast<std::uint32_t>(searched.SearchableCount()), [&](std::uint32_t line) {
        return CandidateIndex::MatchKey(hashes[line],
                                        searched.MatchText(static_cast<LineIndex>(line), scratch));
    });
}

bool LineSearch::FindLine(const TextDocument& self, LineIndex index, LineIndex& position) const {
    if (index < 0 || index >= self.SearchableCount() || searched_.SearchableCount() == 0) {
        return false;
    }
    const std::int32_t hash = self.GetLineHashes()[static_cast<std::size_t>(index)];
    std::string scratch;
    const std::string_view matchText = self.MatchText(index, scratch);
    const LineIndex from = std::max<LineIndex>(position, 0);
    const LineIndex count = searched_.SearchableCount();

    // Aligned inputs mostly continue with equal lines: try the nearest candidate before
    // asking the index.
    if (from < count && searched_.MatchesLine(from, hash, matchText)) {
        position = from;
        return true;
    }
    if (index_) {
        const std::uint64_t key = CandidateIndex::MatchKey(hash, matchText);
        for (const std::uint32_t candidate : index_->Candidates(key, from)) {
            if (searched_.MatchesLine(static_cast<LineIndex>(candidate), hash, matchText)) {
                position = static_cast<LineIndex>(candidate);
                return true;
            }
        }
        return false;
    }
    for (LineIndex candidate = from + 1; candidate < count; ++candidate) {
        if (searched_.MatchesLine(candidate, hash, matchText)) {
            position = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace tandemix
