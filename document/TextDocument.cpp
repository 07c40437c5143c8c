#include "document/TextDocument.h"

#include <algorithm>

#include "document/CandidateIndex.h"

namespace tandemix {

TextDocument::TextDocument(CodePage codePage)
    : codePage_(codePage), rule_(MatchRule::FromOptions(options_, codePage)) {}

TextDocument::~TextDocument() = default;
TextDocument::TextDocument(TextDocument&&) noexcept = default;
TextDocument& TextDocument::operator=(TextDocument&&) noexcept = default;

void TextDocument::AddOptions(const OptionMap& options) {
    options.CopyTo(options_);
    rule_ = MatchRule::FromOptions(options_, codePage_);
    index_.reset();
}

void TextDocument::AddLine(std::string_view text) {
    AddLine(text, static_cast<SourceLine>(texts_.size() + 1));
}

void TextDocument::AddLine(std::string_view text, SourceLine sourceLine) {
    if (static_cast<std::uint64_t>(texts_.size()) >= limits_.mostLines) {
        problem_ = InputProblem{InputProblemKind::TooManyLines};
        return;
    }
    sourceLines_.push_back(sourceLine);
    const std::string_view stored = storage_.Store(text);
    std::string scratch;
    hashes_.push_back(ComputeLineHash(rule_.Apply(stored, scratch)));
    texts_.push_back(stored);
    if (!marks_.empty()) {
        marks_.push_back(LineMark::MarkUnchanged);
    }
    index_.reset();
}

void TextDocument::AddMarkedLine(std::string_view text, LineMark mark, SourceLine sourceLine) {
    sourceLines_.push_back(sourceLine);
    texts_.push_back(storage_.Store(text));
    if (mark != LineMark::MarkUnchanged || !marks_.empty()) {
        marks_.reserve(texts_.capacity());
        marks_.resize(texts_.size() - 1, LineMark::MarkUnchanged);
        marks_.push_back(mark);
    }
    index_.reset();
}

void TextDocument::AddRowOf(const TextDocument& input, LineIndex index, LineMark mark) {
    if (const auto title = input.GetSectionTitle(index)) {
        BeginSection(std::string(*title));
    }
    AddMarkedLine(input.GetLineText(index), mark, input.GetSourceLine(index));
}

void TextDocument::BeginSection(std::string title) {
    const LineIndex next = GetLineCount();
    if (!sections_.empty() && sections_.back().first == next) {
        sections_.back().second = std::move(title);
        return;
    }
    sections_.emplace_back(next, std::move(title));
}

std::optional<std::string_view> TextDocument::GetSectionTitle(LineIndex index) const {
    const auto found = std::lower_bound(sections_.begin(), sections_.end(), index,
                                        [](const std::pair<LineIndex, std::string>& section,
                                           LineIndex line) { return section.first < line; });
    if (found == sections_.end() || found->first != index || !InRange(index)) {
        return std::nullopt;
    }
    return std::string_view(found->second);
}

void TextDocument::ReserveLines(LineIndex count) {
    texts_.reserve(static_cast<std::size_t>(count));
    sourceLines_.reserve(static_cast<std::size_t>(count));
    if (!marks_.empty()) {
        marks_.reserve(static_cast<std::size_t>(count));
    }
}

std::string_view TextDocument::GetLineText(LineIndex index) const {
    return InRange(index) ? texts_[static_cast<std::size_t>(index)] : std::string_view();
}

std::string TextDocument::GetMatchText(LineIndex index) const {
    std::string scratch;
    return std::string(MatchTextOf(index, scratch));
}

LineMark TextDocument::GetMark(LineIndex index) const {
    return InRange(index) && !marks_.empty() ? marks_[static_cast<std::size_t>(index)]
                                             : LineMark::MarkUnchanged;
}

SourceLine TextDocument::GetSourceLine(LineIndex index) const {
    return InRange(index) ? sourceLines_[static_cast<std::size_t>(index)] : 0;
}

MarkCounts TextDocument::CountMarks() const {
    MarkCounts counts;
    for (const LineMark mark : marks_) {
        counts.added += mark == LineMark::MarkAdded;
        counts.changed += mark == LineMark::MarkChanged;
        counts.deleted += mark == LineMark::MarkDeleted;
    }
    return counts;
}

bool TextDocument::FindLine(LineIndex index, const TextDocument& other, LineIndex& position) const {
    if (hashes_.empty() || !InRange(index) || index >= SearchableCount() || other.hashes_.empty()) {
        return false;
    }
    const std::int32_t hash = hashes_[static_cast<std::size_t>(index)];
    std::string scratch;
    const std::string_view matchText = MatchTextOf(index, scratch);
    const LineIndex from = std::max<LineIndex>(position, 0);

    // Aligned inputs mostly continue with equal lines: try the nearest candidate before
    // asking the index.
    if (from < other.SearchableCount() && other.Matches(from, hash, matchText)) {
        position = from;
        return true;
    }
    if (other.index_) {
        // The key of a line of an indexed document is at hand; others are computed.
        const auto key = index_ ? index_->KeyOf(index) : CandidateIndex::MatchKey(hash, matchText);
        for (const std::uint32_t candidate : other.index_->Candidates(key, from)) {
            if (other.Matches(candidate, hash, matchText)) {
                position = candidate;
                return true;
            }
        }
        return false;
    }
    for (LineIndex candidate = from + 1; candidate < other.SearchableCount(); ++candidate) {
        if (other.Matches(candidate, hash, matchText)) {
            position = candidate;
            return true;
        }
    }
    return false;
}

bool TextDocument::LineMatches(LineIndex index, const TextDocument& other,
                               LineIndex otherIndex) const {
    if (index < 0 || index >= SearchableCount() || otherIndex < 0 ||
        otherIndex >= other.SearchableCount()) {
        return false;
    }
    std::string scratch;
    return other.Matches(otherIndex, hashes_[static_cast<std::size_t>(index)],
                         MatchTextOf(index, scratch));
}

LineIndex TextDocument::SearchableCount() const {
    return std::min(GetLineCount(), static_cast<LineIndex>(hashes_.size()));
}

std::string_view TextDocument::MatchTextOf(LineIndex index, std::string& scratch) const {
    return rule_.Apply(GetLineText(index), scratch);
}

bool TextDocument::Matches(LineIndex candidate, std::int32_t hash,
                           std::string_view matchText) const {
    if (hashes_[static_cast<std::size_t>(candidate)] != hash) {
        return false;
    }
    std::string scratch;
    return MatchTextOf(candidate, scratch) == matchText;
}

void TextDocument::PrepareSearch() {
    const LineIndex count = SearchableCount();
    std::vector<std::uint64_t> keys(static_cast<std::size_t>(count));
    std::string scratch;
    for (LineIndex p = 0; p < count; ++p) {
        const auto at = static_cast<std::size_t>(p);
        keys[at] = CandidateIndex::MatchKey(hashes_[at], MatchTextOf(p, scratch));
    }
    index_ = std::make_unique<const CandidateIndex>(std::move(keys));
}

}  // namespace tandemix
