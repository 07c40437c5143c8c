#pragma once

#include <array>
#include <optional>
#include <string>

#include "base/MessageSink.h"
#include "base/OptionMap.h"
#include "diff/DifferenceEngine.h"
#include "document/InputProblem.h"
#include "document/TextDocument.h"
#include "folders/TreeEntry.h"
#include "report/ReportParts.h"
#include "run/ComparisonRun.h"
#include "run/ReportFiles.h"

namespace tandemix {

// Compares two folders (or two files) entry by entry, reading contents only to compare
// them. Nothing, after telling the user, when an input is missing, the kinds differ or a
// folder cannot be opened. BinaryCheck::Look (or WhereRead) is for a report, which also needs
// the size of every file below a folder on one side only; a brief listing names only that
// folder. Under the options' matching rules, changed files whose lines all match are
// EqualUnderOptions.
std::optional<TreeComparison> CompareInputTrees(const std::array<std::string, 2>& paths,
                                                const RunChoices& choices, MessageSink& messages,
                                                BinaryCheck binaryCheck = BinaryCheck::Skip,
                                                const OptionMap& options = {},
                                                CodePage codePage = CodePage::None);

// The rows of one file entry of a tree comparison, indexed by Index(Side).
struct FileRows {
    std::array<TextDocument, 2> rows;
    // Why a side could not be loaded; the rows are then empty.
    std::array<InputProblem, 2> problems{};
};

// Loads and aligns the files of one entry exactly as a two-file run with the same options
// and alignment does, so that both give the same rows. A file on one side only is aligned
// against no lines: all its rows are added or deleted. tops are the two compared folders;
// prepared is the options' rule, made once for all the files (TextDocument::AddOptions).
FileRows AlignTreeFile(const std::array<std::string, 2>& tops, const TreeEntry& entry,
                       const OptionMap& options, Alignment alignment, const RunContext& context,
                       const MatchRule* prepared = nullptr);

// Compares two folders entry by entry and adds the one-file report of the two trees to the
// report (TreeReport.h): each file shown is read once, looked at for a NUL byte, and loaded
// and aligned as AlignTreeFile does. The next files' rows are made on a helper thread while
// the current file's are written (RowsAhead), so that memory holds the rows of a few small
// pairs at a time, or of one large pair. The result counts the entries that differ.
RunResult TreeReportRun(const std::string& path1, const std::string& path2,
                        const OptionMap& options, const RunContext& context,
                        const RunChoices& choices, LineNumbers lineNumbers, ReportFiles& report);

}  // namespace tandemix
