#include "run/TreeRun.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/Paths.h"
#include "base/Side.h"
#include "base/UniqueFd.h"
#include "document/LineReader.h"
#include "folders/BriefListing.h"
#include "folders/RuleEquality.h"
#include "folders/TreeComparison.h"
#include "report/OutputNames.h"
#include "report/SingleReport.h"
#include "report/TreeReport.h"
#include "run/InputLoading.h"
#include "run/RowsAhead.h"

namespace tandemix {
namespace {

std::string SidePath(const std::string& top, std::string_view relative) {
    std::string path = WithoutTrailingSeparators(top);
    if (!relative.empty()) {
        path.append(path.ends_with('/') ? "" : "/").append(relative);
    }
    return path;
}

// A NUL byte in the first bytes makes a file binary, as for the pairs the comparison
// looked at; files on one side only are looked at here. Opened without waiting, in case
// the file became a fifo since the walk.
bool StartsBinary(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        return false;
    }
    std::array<char, kBinaryProbeBytes> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return std::memchr(bytes.data(), 0, got) != nullptr;
}

// The two compared folders, held open so that a file below them is found without looking
// up their own paths again. Where a top is a file or cannot be opened, paths are whole.
struct HeldTops {
    explicit HeldTops(const std::array<std::string, 2>& tops) : paths(tops) {
#ifdef O_PATH
        constexpr int kLookupOnly = O_PATH;
#else
        constexpr int kLookupOnly = O_RDONLY;
#endif
        for (std::size_t side = 0; side < 2; ++side) {
            fds[side].Reset(::open(tops[side].c_str(), kLookupOnly | O_DIRECTORY | O_CLOEXEC));
        }
    }
    const std::array<std::string, 2>& paths;
    std::array<UniqueFd, 2> fds;
};

// The files of an entry, each read whole once; nothing for a side without a file.
struct EntryFiles {
    std::array<std::string, 2> paths;
    std::array<std::optional<FileRead>, 2> reads;
};

// With probeBytes, a binary file is read no further than its first bytes.
EntryFiles ReadEntry(const HeldTops& tops, const TreeEntry& entry, const DocumentLimits& limits,
                     std::size_t probeBytes = 0) {
    const std::array<const std::string*, 2> relative{
        &entry.path, entry.status == EntryStatus::Moved ? &entry.movedTo : &entry.path};
    EntryFiles files;
    for (std::size_t side = 0; side < 2; ++side) {
        files.paths[side] = SidePath(tops.paths[side], *relative[side]);
        if (entry.sides[side].kind != EntryKind::File) {
            continue;
        }
        const bool below = tops.fds[side].IsOpen() && !relative[side]->empty();
        files.reads[side] =
            ReadFoundFileBytes(below ? tops.fds[side].Get() : AT_FDCWD,
                               below ? relative[side]->c_str() : files.paths[side].c_str(),
                               entry.sides[side].size, limits.mostBytes, probeBytes);
    }
    return files;
}

// A file that could not be read whole is still looked at, so that a binary file shows as
// one whatever its size.
bool IsBinary(const EntryFiles& files) {
    for (std::size_t side = 0; side < 2; ++side) {
        const std::optional<FileRead>& read = files.reads[side];
        if (read && (read->binary || (!read->file && StartsBinary(files.paths[side])))) {
            return true;
        }
    }
    return false;
}

// Loads the files read and aligns them as a two-file run does (LoadInputs): a pair of a
// megabyte or more is split into lines side by side, and each side's log lines come in
// side order. A side without a file is an empty input under the other side's options.
FileRows AlignRead(const EntryFiles& files, const OptionMap& options, Alignment alignment,
                   const RunContext& context, const MatchRule* prepared, DebugLog& log) {
    std::array<TextDocument, 2> inputs{TextDocument(context.codePage),
                                       TextDocument(context.codePage)};
    std::array<HeldDebugLog, 2> logs;
    std::uint64_t bytes = 0;
    for (std::size_t side = 0; side < 2; ++side) {
        inputs[side].SetLimits(context.limits.document);
        const std::optional<FileRead>& read = files.reads[side];
        bytes += read && read->file ? read->file->bytes.size() : 0;
    }
    const auto load = [&](std::size_t side) {
        if (files.reads[side]) {
            inputs[side].LoadRead(files.paths[side], *files.reads[side], options, logs[side],
                                  prepared);
        } else {
            inputs[side].SetName(files.paths[side]);
            inputs[side].AddOptions(options, prepared);
        }
    };
    constexpr std::uint64_t kBytesWorthSharing = 1024 * 1024;
    RunSideBySide(
        files.reads[0] && files.reads[1] && bytes >= kBytesWorthSharing ? Sharing::SideBySide
                                                                        : Sharing::OneAfterTheOther,
        [&] { load(0); }, [&] { load(1); });
    logs[0].ReplayTo(log);
    logs[1].ReplayTo(log);
    FileRows rows{{TextDocument(context.codePage), TextDocument(context.codePage)}, {}};
    for (std::size_t side = 0; side < 2; ++side) {
        rows.problems[side] = inputs[side].GetProblem();
    }
    if (rows.problems[0] || rows.problems[1]) {
        return rows;
    }
    ComputeDifferences(inputs[0], inputs[1], rows.rows[0], rows.rows[1], alignment);
    return rows;
}

// What the report shows of one entry: its rows, or that it is binary, or why it has none.
TreeFileRows ShownRows(const HeldTops& tops, const TreeEntry& entry, const OptionMap& options,
                       Alignment alignment, const RunContext& context, const MatchRule& rule,
                       DebugLog& log) {
    TreeFileRows shown{TextDocument(context.codePage), TextDocument(context.codePage), false, {}};
    const EntryFiles files = ReadEntry(tops, entry, context.limits.document, kBinaryProbeBytes);
    if (IsBinary(files)) {
        shown.binary = true;
        return shown;
    }
    FileRows rows = AlignRead(files, options, alignment, context, &rule, log);
    for (const Side side : kBothSides) {
        if (const InputProblem& problem = rows.problems[Index(side)]) {
            shown.problem = ProblemMessage(problem, "Datei " + std::to_string(Number(side)),
                                           files.paths[Index(side)], context.limits.document);
            return shown;
        }
    }
    shown.rows = std::move(rows.rows);
    return shown;
}

std::uint64_t BytesOf(const TreeEntry& entry) {
    return entry.sides[0].size + entry.sides[1].size;
}

// Changed pairs of different sizes were left unread by the comparison (BinaryCheck::
// WhereRead); the report looks at them as it loads them. Those it will not load are looked
// at here: pairs too large for the page, and every such pair where the files shown are so
// many bytes that the page might outgrow its limit before their turn.
void LookAtPairsNotLoaded(const std::array<std::string, 2>& tops, std::vector<TreeEntry>& entries) {
    constexpr std::uint64_t kPageBytesPerFileByte = 16;
    std::uint64_t shownBytes = 0;
    for (const TreeEntry& entry : entries) {
        shownBytes += ShowsRows(entry) ? BytesOf(entry) : 0;
    }
    const bool mayOutgrow = shownBytes > kTreeReportBytes / kPageBytesPerFileByte;
    for (TreeEntry& entry : entries) {
        if (entry.status == EntryStatus::Changed && ShowsRows(entry) &&
            entry.sides[0].size != entry.sides[1].size &&
            (mayOutgrow || BytesOf(entry) > kTreeFileBytes)) {
            entry.binary = StartsBinary(SidePath(tops[0], entry.path)) ||
                           StartsBinary(SidePath(tops[1], entry.path));
        }
    }
}

void Notify(const RunContext& context, RunStage stage) {
    if (context.observer != nullptr) {
        context.observer->OnStage(stage);
    }
}

}  // namespace

std::optional<TreeComparison> CompareInputTrees(const std::array<std::string, 2>& paths,
                                                const RunChoices& choices, MessageSink& messages,
                                                BinaryCheck binaryCheck, const OptionMap& options,
                                                CodePage codePage) {
    const std::optional<InputKind> kind = KindOfInputs(paths, messages);
    if (!kind) {
        return std::nullopt;
    }
    if (*kind == InputKind::Folder) {
        for (const Side side : kBothSides) {
            const std::string& path = paths[Index(side)];
            if (const InputProblem problem = CheckInput(path, *kind, {})) {
                messages.Warn(ProblemMessage(problem, "Verzeichnis " + std::to_string(Number(side)),
                                             path, {}));
                return std::nullopt;
            }
        }
    }
    TreeChoices treeChoices;
    treeChoices.exclusions = choices.exclusions;
    treeChoices.binaryCheck = binaryCheck;
    // Only a report looks inside a folder on one side only.
    treeChoices.sizeInsideOneSided = binaryCheck != BinaryCheck::Skip;
    treeChoices.options = options;
    treeChoices.codePage = codePage;
    return CompareTrees(paths[0], paths[1], treeChoices);
}

FileRows AlignTreeFile(const std::array<std::string, 2>& tops, const TreeEntry& entry,
                       const OptionMap& options, Alignment alignment, const RunContext& context,
                       const MatchRule* prepared) {
    return AlignRead(ReadEntry(HeldTops(tops), entry, context.limits.document), options, alignment,
                     context, prepared, context.debugLog);
}

RunResult TreeReportRun(const std::string& path1, const std::string& path2,
                        const OptionMap& options, const RunContext& context,
                        const RunChoices& choices, LineNumbers lineNumbers, ReportFiles& report) {
    Notify(context, RunStage::Loading);
    // Matching rules read changed pairs line by line, which a binary pair must be spared:
    // then every pair is looked at first. Otherwise a pair of different sizes is looked at
    // as it is loaded, which reads it once.
    const bool lookWhenLoaded = !HasMatchingRules(options);
    std::optional<TreeComparison> comparison = CompareInputTrees(
        {path1, path2}, choices, context.messages,
        lookWhenLoaded ? BinaryCheck::WhereRead : BinaryCheck::Look, options, context.codePage);
    if (!comparison) {
        return {};
    }
    const std::array<std::string, 2> tops{WithoutTrailingSeparators(path1),
                                          WithoutTrailingSeparators(path2)};
    if (lookWhenLoaded) {
        LookAtPairsNotLoaded(tops, comparison->entries);
    }
    const MatchRule rule = MatchRule::FromOptions(options, context.codePage);
    const HeldTops held(tops);
    std::vector<const TreeEntry*> order;
    for (const TreeEntry& entry : comparison->entries) {
        if (ShowsRows(entry) && BytesOf(entry) <= kTreeFileBytes) {
            order.push_back(&entry);
        }
    }
    RowsAhead ahead(std::move(order),
                    [&](const TreeEntry& entry, DebugLog& log) {
                        return ShownRows(held, entry, options, choices.alignment, context, rule,
                                         log);
                    },
                    context.debugLog, Sharing::SideBySide, {});
    const TreeRowsSource rowsOf = [&](const TreeEntry& entry) { return ahead.Take(entry); };
    Notify(context, RunStage::Generating);
    const TreeReportCounts counts =
        WriteTreeReport({{tops[0], tops[1]}, context.codePage, lineNumbers}, comparison->entries,
                        rowsOf, report.Add(kSingleReportName));
    Notify(context, RunStage::Writing);
    RunResult result{true, counts.differences, comparison->walks, {}};
    result.incomplete = Incomplete(*comparison);
    return result;
}

}  // namespace tandemix
