#include "run/TreeRun.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/Paths.h"
#include "base/Side.h"
#include "base/UniqueFd.h"
#include "folders/BriefListing.h"
#include "folders/TreeComparison.h"
#include "report/OutputNames.h"
#include "report/SingleReport.h"
#include "report/TreeReport.h"
#include "run/InputLoading.h"

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
    treeChoices.sizeInsideOneSided = binaryCheck == BinaryCheck::Look;
    treeChoices.options = options;
    treeChoices.codePage = codePage;
    return CompareTrees(paths[0], paths[1], treeChoices);
}

FileRows AlignTreeFile(const std::array<std::string, 2>& tops, const TreeEntry& entry,
                       const OptionMap& options, Alignment alignment, const RunContext& context,
                       const MatchRule* prepared) {
    const std::array<std::string_view, 2> relative{
        entry.path, entry.status == EntryStatus::Moved ? entry.movedTo : entry.path};
    std::array<TextDocument, 2> inputs{TextDocument(context.codePage),
                                       TextDocument(context.codePage)};
    std::array<std::string, 2> paths;
    for (std::size_t side = 0; side < 2; ++side) {
        inputs[side].SetLimits(context.limits.document);
        paths[side] = SidePath(tops[side], relative[side]);
    }
    const bool both =
        entry.sides[0].kind == EntryKind::File && entry.sides[1].kind == EntryKind::File;
    if (both) {
        LoadInputs(paths, InputKind::File, options, inputs, context.debugLog,
                   FolderComparison::ByTime, nullptr, prepared);
    } else {
        // The missing side is an empty input under the present side's options.
        for (std::size_t side = 0; side < 2; ++side) {
            if (entry.sides[side].kind == EntryKind::File) {
                inputs[side].LoadFile(paths[side], options, context.debugLog, prepared);
            } else {
                inputs[side].SetName(paths[side]);
                inputs[side].AddOptions(options, prepared);
            }
        }
    }
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

RunResult TreeReportRun(const std::string& path1, const std::string& path2,
                        const OptionMap& options, const RunContext& context,
                        const RunChoices& choices, LineNumbers lineNumbers, ReportFiles& report) {
    Notify(context, RunStage::Loading);
    const std::optional<TreeComparison> comparison = CompareInputTrees(
        {path1, path2}, choices, context.messages, BinaryCheck::Look, options, context.codePage);
    if (!comparison) {
        return {};
    }
    const std::array<std::string, 2> tops{WithoutTrailingSeparators(path1),
                                          WithoutTrailingSeparators(path2)};
    const MatchRule rule = MatchRule::FromOptions(options, context.codePage);
    const TreeRowsSource rowsOf = [&](const TreeEntry& entry) {
        TreeFileRows shown{
            TextDocument(context.codePage), TextDocument(context.codePage), false, {}};
        for (std::size_t side = 0; side < 2; ++side) {
            if (entry.status != EntryStatus::Changed && entry.sides[side].kind == EntryKind::File &&
                StartsBinary(SidePath(tops[side], entry.path))) {
                shown.binary = true;
                return shown;
            }
        }
        FileRows rows = AlignTreeFile(tops, entry, options, choices.alignment, context, &rule);
        for (std::size_t side = 0; side < 2; ++side) {
            if (rows.problems[side]) {
                shown.problem =
                    ProblemMessage(rows.problems[side], "Datei " + std::to_string(side + 1),
                                   SidePath(tops[side], entry.path), context.limits.document);
                return shown;
            }
        }
        shown.rows1 = std::move(rows.rows[0]);
        shown.rows2 = std::move(rows.rows[1]);
        return shown;
    };
    Notify(context, RunStage::Generating);
    const TreeReportCounts counts =
        WriteTreeReport({tops[0], tops[1], context.codePage, lineNumbers}, comparison->entries,
                        rowsOf, report.Add(kSingleReportName));
    Notify(context, RunStage::Writing);
    RunResult result{true, counts.differences, comparison->walks, {}};
    result.incomplete = Incomplete(*comparison);
    return result;
}

}  // namespace tandemix
