#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/OptionMap.h"
#include "document/InputProblem.h"
#include "document/LineIndex.h"
#include "document/LineMark.h"
#include "document/LineMatching.h"
#include "document/SourceLines.h"
#include "document/TextStorage.h"

namespace tandemix {

struct FileRead;

// Numbers of rows by mark, in the order the report asks for them.
struct MarkCounts {
    LineIndex added = 0;
    LineIndex changed = 0;
    LineIndex deleted = 0;
};

// The one container of lines: a loaded input (filled with AddLine, one line hash per
// line) or a list of aligned rows (filled with AddMarkedLine, AddRowOf and AddEmptyLine, no
// hashes). Reads out of range yield the empty text or 0.
//
// A line costs its bytes once, where they were read, plus an offset, a length and its
// hash. A row list that shows an input's lines (see ShareTextOf) keeps only the number of
// the line it shows and its mark, and keeps the input's lines alive for as long as it
// needs them.
class TextDocument {
public:
    explicit TextDocument(CodePage codePage);
    ~TextDocument();
    TextDocument(TextDocument&&) noexcept;
    TextDocument& operator=(TextDocument&&) noexcept;
    TextDocument(const TextDocument&) = delete;
    TextDocument& operator=(const TextDocument&) = delete;

    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& GetName() const { return name_; }
    CodePage GetCodePage() const { return codePage_; }

    // prepared, when given, is the rule of these options made once for the many documents of
    // one run: its patterns are compiled once instead of for every document.
    void AddOptions(const OptionMap& options, const MatchRule* prepared = nullptr);
    const OptionMap& GetOptions() const { return options_; }

    // Reads a text file into lines in the mode its options choose. False when the path is
    // empty or the file cannot be read or held whole; both are reported to the log, and
    // GetProblem says why.
    bool LoadFile(const std::string& path, const OptionMap& options, DebugLog& log,
                  const MatchRule* prepared = nullptr);
    // The same for a file that the caller has read already (ReadFileBytes with this
    // document's limit): a caller that looks at the bytes first need not read them twice.
    bool LoadRead(const std::string& path, const FileRead& read, const OptionMap& options,
                  DebugLog& log, const MatchRule* prepared = nullptr);

    // What the document may hold, within what its encoding can address. Lines beyond it are
    // left out, and GetProblem says so.
    void SetLimits(const DocumentLimits& limits);
    // Why the document is not its whole input; nothing when it is.
    const InputProblem& GetProblem() const { return problem_; }

    // The source line is the line's number in its file, counted from 1; without one, lines
    // are numbered in the order they are added.
    void AddLine(std::string_view text);
    void AddLine(std::string_view text, SourceLine sourceLine);
    // A row shows a line of an input, whose source line it keeps, or is a placeholder (0).
    void AddMarkedLine(std::string_view text, LineMark mark, SourceLine sourceLine = 0);
    void AddEmptyLine();
    // A row that shows line `index` of the input: its text, its source line and the section
    // it begins, if any.
    void AddRowOf(const TextDocument& input, LineIndex index, LineMark mark);

    // Lines fall into sections, such as the files of one folder: the next line added begins
    // a section with this title.
    void BeginSection(std::string title);
    // The title of the section that begins at this line; nothing when none begins there.
    std::optional<std::string_view> GetSectionTitle(LineIndex index) const;
    // Room for this many lines in all, so that a known count is stored without regrowth.
    void ReserveLines(LineIndex count);

    // Makes this empty document a row list that shows lines of the other: rows added from
    // it with AddRowOf refer to its lines instead of copying them, and keep them alive.
    // Anything else added later turns the rows into copies.
    void ShareTextOf(const TextDocument& other);

    LineIndex GetLineCount() const;
    std::string_view GetLineText(LineIndex index) const;
    std::string GetMatchText(LineIndex index) const;
    LineMark GetMark(LineIndex index) const;
    // Marks a row anew; out of range nothing happens.
    void SetMark(LineIndex index, LineMark mark);
    // The number of the line in its file (1 for the first), or 0 for a placeholder row and
    // out of range.
    SourceLine GetSourceLine(LineIndex index) const;
    const std::vector<std::int32_t>& GetLineHashes() const { return hashes_; }
    MarkCounts CountMarks() const;
    // The bytes the document spends on its lines besides their texts; for a row list, on
    // its rows.
    std::size_t GetLineMemory() const;

    // The one definition of line equality, for both alignments: two lines match when their
    // line hashes and their matching texts (each under its own document's options) are
    // equal. A line without a hash matches nothing.
    bool LineMatches(LineIndex index, const TextDocument& other, LineIndex otherIndex) const;
    // Whether line `candidate` has this hash and matching text.
    bool MatchesLine(LineIndex candidate, std::int32_t hash, std::string_view matchText) const;
    // The lines that can match: those that have a line hash.
    LineIndex SearchableCount() const;
    // The matching text: a view of the line itself when the rule keeps it, otherwise a view
    // of scratch.
    std::string_view MatchText(LineIndex index, std::string& scratch) const;
    // The parts of the line that the options' patterns matched, which do not count when
    // lines are compared; found once, when the line was loaded.
    std::span<const TextSpan> GetIgnoredText(LineIndex index) const;
    const MatchRule& GetMatchRule() const { return rule_; }

    // The number a row list stores for a placeholder.
    static constexpr std::uint32_t kPlaceholder = 0xFFFF'FFFFu;

private:
    struct LineSpan {
        TextStorage::Offset offset = 0;
        std::uint32_t length = 0;
    };
    // A document's own lines; row lists that show them share them.
    struct Lines {
        TextStorage text;
        std::vector<LineSpan> spans;
        SourceLines sourceLines;
        // The first line of each section and its title, in line order.
        std::vector<std::pair<LineIndex, std::string>> sections;
        // Under text patterns, per line where its parts in ignored begin; lines past its end
        // have none.
        std::vector<std::uint32_t> ignoredFrom;
        std::vector<TextSpan> ignored;

        std::string_view Text(std::size_t line) const {
            const LineSpan span = spans[line];
            return span.length == 0 ? std::string_view() : text.View(span.offset, span.length);
        }
        std::optional<std::string_view> SectionTitle(LineIndex line) const;
        std::span<const TextSpan> Ignored(std::size_t line) const;
    };

    bool InRange(LineIndex index) const { return index >= 0 && index < GetLineCount(); }
    bool ShowsRows() const { return shown_ != nullptr; }
    // Appends a line whose text is already in the storage.
    bool AddStoredLine(LineSpan span, SourceLine sourceLine, LineMark mark);
    bool AddCopiedLine(std::string_view text, SourceLine sourceLine, LineMark mark);
    void AddMark(LineMark mark);
    // The line hash of the line just added, whose text is given.
    std::int32_t HashOfLastLine(std::string_view text, std::string& scratch);
    // Turns shown rows into lines of this document's own.
    void CopyShownRows();
    // A copied line keeps the parts of the line it copies that do not count, for the report.
    void KeepIgnoredOfLastLine(std::span<const TextSpan> spans);

    std::string name_;
    OptionMap options_;
    CodePage codePage_;
    MatchRule rule_;
    std::shared_ptr<Lines> lines_;
    // A row list that shows the lines of an input: the input's lines, and the number of
    // the line each row shows (kPlaceholder for none).
    std::shared_ptr<const Lines> shown_;
    std::vector<std::uint32_t> rows_;
    // Empty while every mark is MarkUnchanged, as in every loaded input.
    std::vector<LineMark> marks_;
    std::vector<std::int32_t> hashes_;
    DocumentLimits limits_;
    InputProblem problem_;
};

}  // namespace tandemix
