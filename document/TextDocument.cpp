#include "document/TextDocument.h"

#include <algorithm>

namespace tandemix {

TextDocument::TextDocument(CodePage codePage)
    : codePage_(codePage),
      rule_(MatchRule::FromOptions(options_, codePage)),
      lines_(std::make_shared<Lines>()) {}

TextDocument::~TextDocument() = default;
TextDocument::TextDocument(TextDocument&&) noexcept = default;
TextDocument& TextDocument::operator=(TextDocument&&) noexcept = default;

void TextDocument::AddOptions(const OptionMap& options, const MatchRule* prepared) {
    const bool first = options_.IsEmpty();
    options.CopyTo(options_);
    rule_ = prepared != nullptr && first ? *prepared : MatchRule::FromOptions(options_, codePage_);
}

void TextDocument::SetLimits(const DocumentLimits& limits) {
    limits_.mostBytes = std::min(limits.mostBytes, TextStorage::kMostBytes);
    // Line numbers are 32-bit, and one of them stands for a placeholder.
    limits_.mostLines = std::min<std::uint64_t>(limits.mostLines, kPlaceholder - 1);
}

void TextDocument::AddLine(std::string_view text) {
    AddLine(text, static_cast<SourceLine>(GetLineCount() + 1));
}

void TextDocument::AddLine(std::string_view text, SourceLine sourceLine) {
    if (AddCopiedLine(text, sourceLine, LineMark::MarkUnchanged)) {
        std::string scratch;
        hashes_.push_back(HashOfLastLine(GetLineText(GetLineCount() - 1), scratch));
    }
}

std::int32_t TextDocument::HashOfLastLine(std::string_view text, std::string& scratch) {
    if (!rule_.HasTextPatterns()) {
        return ComputeLineHash(rule_.Apply(text, scratch));
    }
    // The patterns run once per line: what they match is kept for every later comparison.
    Lines& lines = *lines_;
    const std::size_t line = lines.spans.size() - 1;
    lines.ignoredFrom.resize(line + 1, static_cast<std::uint32_t>(lines.ignored.size()));
    lines.ignoredFrom[line] = static_cast<std::uint32_t>(lines.ignored.size());
    rule_.FindIgnoredText(text, lines.ignored);
    return ComputeLineHash(rule_.Apply(text, scratch, lines.Ignored(line)));
}

std::span<const TextSpan> TextDocument::Lines::Ignored(std::size_t line) const {
    if (line >= ignoredFrom.size()) {
        return {};
    }
    const std::size_t end = line + 1 < ignoredFrom.size() ? ignoredFrom[line + 1] : ignored.size();
    return std::span<const TextSpan>(ignored).subspan(ignoredFrom[line], end - ignoredFrom[line]);
}

std::span<const TextSpan> TextDocument::GetIgnoredText(LineIndex index) const {
    if (!InRange(index)) {
        return {};
    }
    if (ShowsRows()) {
        const std::uint32_t row = rows_[static_cast<std::size_t>(index)];
        return row == kPlaceholder ? std::span<const TextSpan>() : shown_->Ignored(row);
    }
    return lines_->Ignored(static_cast<std::size_t>(index));
}

void TextDocument::AddMarkedLine(std::string_view text, LineMark mark, SourceLine sourceLine) {
    AddCopiedLine(text, sourceLine, mark);
}

void TextDocument::AddEmptyLine() {
    if (ShowsRows()) {
        rows_.push_back(kPlaceholder);
        AddMark(LineMark::MarkUnchanged);
        return;
    }
    AddStoredLine(LineSpan{}, 0, LineMark::MarkUnchanged);
}

void TextDocument::AddRowOf(const TextDocument& input, LineIndex index, LineMark mark) {
    if (ShowsRows() && shown_ == input.lines_ && input.InRange(index) && !input.ShowsRows()) {
        rows_.push_back(static_cast<std::uint32_t>(index));
        AddMark(mark);
        return;
    }
    if (const auto title = input.GetSectionTitle(index)) {
        BeginSection(std::string(*title));
    }
    if (AddCopiedLine(input.GetLineText(index), input.GetSourceLine(index), mark)) {
        KeepIgnoredOfLastLine(input.GetIgnoredText(index));
    }
}

void TextDocument::ShareTextOf(const TextDocument& other) {
    if (GetLineCount() == 0 && lines_->sections.empty() && !other.ShowsRows()) {
        shown_ = other.lines_;
    }
}

bool TextDocument::AddCopiedLine(std::string_view text, SourceLine sourceLine, LineMark mark) {
    CopyShownRows();
    const auto offset = lines_->text.Store(text, limits_.mostBytes);
    if (!offset) {
        problem_ = InputProblem{InputProblemKind::TooLarge};
        return false;
    }
    return AddStoredLine(LineSpan{*offset, static_cast<std::uint32_t>(text.size())}, sourceLine,
                         mark);
}

bool TextDocument::AddStoredLine(LineSpan span, SourceLine sourceLine, LineMark mark) {
    CopyShownRows();
    Lines& lines = *lines_;
    if (lines.spans.size() >= limits_.mostLines) {
        problem_ = InputProblem{InputProblemKind::TooManyLines};
        return false;
    }
    lines.sourceLines.Add(static_cast<LineIndex>(lines.spans.size()), sourceLine);
    lines.spans.push_back(span);
    AddMark(mark);
    return true;
}

void TextDocument::AddMark(LineMark mark) {
    if (mark != LineMark::MarkUnchanged || !marks_.empty()) {
        const auto count = static_cast<std::size_t>(GetLineCount());
        if (marks_.empty()) {
            marks_.reserve(ShowsRows() ? rows_.capacity() : lines_->spans.capacity());
        }
        marks_.resize(count - 1, LineMark::MarkUnchanged);
        marks_.push_back(mark);
    }
}

void TextDocument::CopyShownRows() {
    if (!ShowsRows()) {
        return;
    }
    const std::shared_ptr<const Lines> shown = std::move(shown_);
    const std::vector<std::uint32_t> rows = std::move(rows_);
    rows_.clear();
    std::vector<LineMark> marks = std::move(marks_);
    marks_.clear();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const LineMark mark = r < marks.size() ? marks[r] : LineMark::MarkUnchanged;
        if (rows[r] == kPlaceholder) {
            AddStoredLine(LineSpan{}, 0, mark);
            continue;
        }
        if (const auto title = shown->SectionTitle(rows[r])) {
            BeginSection(std::string(*title));
        }
        if (AddCopiedLine(shown->Text(rows[r]), shown->sourceLines.At(rows[r]), mark)) {
            KeepIgnoredOfLastLine(shown->Ignored(rows[r]));
        }
    }
}

void TextDocument::KeepIgnoredOfLastLine(std::span<const TextSpan> spans) {
    if (spans.empty()) {
        return;
    }
    Lines& lines = *lines_;
    const std::size_t line = lines.spans.size() - 1;
    const auto from = static_cast<std::uint32_t>(lines.ignored.size());
    lines.ignoredFrom.resize(line + 1, from);
    lines.ignoredFrom[line] = from;
    lines.ignored.insert(lines.ignored.end(), spans.begin(), spans.end());
}

void TextDocument::BeginSection(std::string title) {
    CopyShownRows();
    auto& sections = lines_->sections;
    const LineIndex next = GetLineCount();
    if (!sections.empty() && sections.back().first == next) {
        sections.back().second = std::move(title);
        return;
    }
    sections.emplace_back(next, std::move(title));
}

std::optional<std::string_view> TextDocument::Lines::SectionTitle(LineIndex line) const {
    const auto found = std::lower_bound(sections.begin(), sections.end(), line,
                                        [](const std::pair<LineIndex, std::string>& section,
                                           LineIndex index) { return section.first < index; });
    if (found == sections.end() || found->first != line) {
        return std::nullopt;
    }
    return std::string_view(found->second);
}

std::optional<std::string_view> TextDocument::GetSectionTitle(LineIndex index) const {
    if (!InRange(index)) {
        return std::nullopt;
    }
    if (ShowsRows()) {
        const std::uint32_t row = rows_[static_cast<std::size_t>(index)];
        return row == kPlaceholder ? std::nullopt : shown_->SectionTitle(row);
    }
    return lines_->SectionTitle(index);
}

void TextDocument::ReserveLines(LineIndex count) {
    const auto size = static_cast<std::size_t>(std::max<LineIndex>(count, 0));
    if (ShowsRows()) {
        rows_.reserve(size);
    } else {
        lines_->spans.reserve(size);
    }
    if (!marks_.empty()) {
        marks_.reserve(size);
    }
}

LineIndex TextDocument::GetLineCount() const {
    return static_cast<LineIndex>(ShowsRows() ? rows_.size() : lines_->spans.size());
}

std::string_view TextDocument::GetLineText(LineIndex index) const {
    if (!InRange(index)) {
        return {};
    }
    const auto at = static_cast<std::size_t>(index);
    if (ShowsRows()) {
        return rows_[at] == kPlaceholder ? std::string_view() : shown_->Text(rows_[at]);
    }
    return lines_->Text(at);
}

std::string TextDocument::GetMatchText(LineIndex index) const {
    std::string scratch;
    return std::string(MatchText(index, scratch));
}

LineMark TextDocument::GetMark(LineIndex index) const {
    return InRange(index) && !marks_.empty() ? marks_[static_cast<std::size_t>(index)]
                                             : LineMark::MarkUnchanged;
}

void TextDocument::SetMark(LineIndex index, LineMark mark) {
    if (!InRange(index) || (marks_.empty() && mark == LineMark::MarkUnchanged)) {
        return;
    }
    marks_.resize(static_cast<std::size_t>(GetLineCount()), LineMark::MarkUnchanged);
    marks_[static_cast<std::size_t>(index)] = mark;
}

SourceLine TextDocument::GetSourceLine(LineIndex index) const {
    if (!InRange(index)) {
        return 0;
    }
    if (ShowsRows()) {
        const std::uint32_t row = rows_[static_cast<std::size_t>(index)];
        return row == kPlaceholder ? 0 : shown_->sourceLines.At(row);
    }
    return lines_->sourceLines.At(index);
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

// Room reserved beyond the lines is never touched, so it costs no memory.
std::size_t TextDocument::GetLineMemory() const {
    return lines_->spans.size() * sizeof(LineSpan) + lines_->sourceLines.MemoryUse() +
           rows_.size() * sizeof(std::uint32_t) + marks_.size() * sizeof(LineMark) +
           hashes_.size() * sizeof(std::int32_t) +
           lines_->ignoredFrom.size() * sizeof(std::uint32_t) +
           lines_->ignored.size() * sizeof(TextSpan);
}

bool TextDocument::LineMatches(LineIndex index, const TextDocument& other,
                               LineIndex otherIndex) const {
    if (index < 0 || index >= SearchableCount() || otherIndex < 0 ||
        otherIndex >= other.SearchableCount()) {
        return false;
    }
    std::string scratch;
    return other.MatchesLine(otherIndex, hashes_[static_cast<std::size_t>(index)],
                             MatchText(index, scratch));
}

LineIndex TextDocument::SearchableCount() const {
    return std::min(GetLineCount(), static_cast<LineIndex>(hashes_.size()));
}

std::string_view TextDocument::MatchText(LineIndex index, std::string& scratch) const {
    return rule_.Apply(GetLineText(index), scratch, GetIgnoredText(index));
}

bool TextDocument::MatchesLine(LineIndex candidate, std::int32_t hash,
                               std::string_view matchText) const {
    if (hashes_[static_cast<std::size_t>(candidate)] != hash) {
        return false;
    }
    std::string scratch;
    return MatchText(candidate, scratch) == matchText;
}

}  // namespace tandemix
