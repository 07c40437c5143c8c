#pragma once

#include <optional>

#include "diff/CandidateIndex.h"
#include "document/LineIndex.h"
#include "document/TextDocument.h"

namespace tandemix {

// Where a line of one input occurs next in the other: the one question of the greedy pass.
// The search belongs to the alignment that asks it, so the inputs stay unchanged; it reads
// the searched input, which must outlive it.
class LineSearch {
public:
    // An index makes each question cost a few candidates; without one every following line
    // is looked at, which pays only for a handful of questions.
    enum class Indexing { Indexed, Linear };

    explicit LineSearch(const TextDocument& searched, Indexing indexing = Indexing::Indexed);

    // Whether line `index` of `self` occurs in the searched input at or after `position`;
    // if so, `position` becomes the first such line. Lines occur when the documents call
    // them equal (TextDocument::MatchesLine).
    bool FindLine(const TextDocument& self, LineIndex index, LineIndex& position) const;

private:
    const TextDocument& searched_;
    std::optional<CandidateIndex> index_;
};

}  // namespace tandemix
