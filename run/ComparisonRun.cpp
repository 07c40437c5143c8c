#include "run/ComparisonRun.h"

#include <array>
#include <cerrno>
#include <optional>

#include "base/AvailableMemory.h"
#include "base/FailureReason.h"
#include "base/Messages.h"
#include "base/Side.h"
#include "diff/DifferenceEngine.h"
#include "report/ReportWriter.h"
#include "report/ResultContainer.h"
#include "report/SingleReport.h"
#include "run/Comparison.h"
#include "run/InputLoading.h"
#include "run/ReportFiles.h"
#include "run/TreeRun.h"

namespace tandemix {
namespace {

void Notify(const RunContext& context, RunStage stage) {
    if (context.observer != nullptr) {
        context.observer->OnStage(stage);
    }
}

// How a run names its two inputs, in its messages and in the report's head.
struct InputNames {
    InputKind kind = InputKind::File;
    const CompareRequest& request;
    const std::array<std::string, 2>& paths;

    std::string Name(Side side) const {
        const char* word = request.WebPages()          ? "Internet-Seite "
                           : kind == InputKind::Folder ? "Verzeichnis "
                                                       : "Datei ";
        return word + std::to_string(Number(side));
    }
    // Web pages are named by their addresses, not by the fetched copies.
    const std::string& Shown(Side side) const {
        return (request.WebPages() ? request.inputs : paths)[Index(side)];
    }
};

std::uint64_t MemoryLeft(const RunContext& context) {
    return context.limits.availableMemory.value_or(AvailableMemory().value_or(UINT64_MAX));
}

// Everything that can be known before reading: each input can be opened and held, and
// the files fit into the memory left.
bool InputsCanBeLoaded(const InputNames& names, const RunContext& context) {
    for (const Side side : kBothSides) {
        const InputProblem problem =
            CheckInput(names.paths[Index(side)], names.kind, context.limits.document);
        if (problem) {
            context.messages.Warn(ProblemMessage(problem, names.Name(side), names.Shown(side),
                                                 context.limits.document));
            return false;
        }
    }
    const std::uint64_t bytes =
        InputSize(names.paths[0], names.kind) + InputSize(names.paths[1], names.kind);
    if (bytes > MemoryLeft(context)) {
        context.messages.Warn(messages::NotEnoughMemoryForBytes(bytes));
        return false;
    }
    return true;
}

// A read can still fail midway, and a document can fill up.
bool InputsWhole(const std::array<TextDocument, 2>& inputs, const InputNames& names,
                 const RunContext& context) {
    for (const Side side : kBothSides) {
        if (const InputProblem& problem = inputs[Index(side)].GetProblem()) {
            context.messages.Warn(ProblemMessage(problem, names.Name(side), names.Shown(side),
                                                 context.limits.document));
            return false;
        }
    }
    return true;
}

// The rows need memory beyond the inputs; better to say so than to make the machine swap.
bool RowsFitInMemory(const std::array<TextDocument, 2>& inputs, const RunContext& context) {
    if (AlignmentMemory(inputs[0], inputs[1]) <= MemoryLeft(context)) {
        return true;
    }
    context.messages.Warn(messages::NotEnoughMemoryForLines(
        static_cast<std::uint64_t>(inputs[0].GetLineCount() + inputs[1].GetLineCount())));
    return false;
}

std::optional<InputKind> AcceptableKind(const CompareRequest& request,
                                        const std::array<std::string, 2>& paths,
                                        const RunContext& context) {
    const std::optional<InputKind> kind =
        KindOfInputs(paths, context.messages, request.WebPages() ? &request.inputs : nullptr);
    if (!kind || !InputsCanBeLoaded(InputNames{*kind, request, paths}, context)) {
        return std::nullopt;
    }
    return kind;
}

}  // namespace

bool CheckInputs(const CompareRequest& request, const RunContext& context) {
    return AcceptableKind(request, request.inputs, context).has_value();
}

RunResult ComparisonRun(const CompareRequest& request, const std::array<std::string, 2>& paths,
                        const RunContext& context, ReportFiles& report) {
    const std::optional<InputKind> kind = AcceptableKind(request, paths, context);
    if (!kind) {
        return {};
    }
    const InputNames names{*kind, request, paths};
    const RunChoices& choices = request.choices;
    const OptionMap options = BuildOptionMap(request.options);
    const LineNumbers lineNumbers =
        request.showLineNumbers ? LineNumbers::Shown : LineNumbers::Hidden;
    // Two folders in one file are compared entry by entry, with every changed file's rows.
    if (*kind == InputKind::Folder && choices.reportForm == ReportForm::Single) {
        return TreeReportRun(paths[0], paths[1], options, context, choices, lineNumbers, report);
    }

    std::array<TextDocument, 2> inputs{TextDocument(context.codePage),
                                       TextDocument(context.codePage)};
    for (TextDocument& input : inputs) {
        input.SetLimits(context.limits.document);
    }
    Notify(context, RunStage::Loading);
    // Listed by time, a file's size is not on its line; kept aside, it tells whether files
    // paired as unchanged may differ after all.
    const bool foldersByTime =
        *kind == InputKind::Folder && choices.folderComparison == FolderComparison::ByTime;
    std::array<ListedSizes, 2> sizes;
    const std::array<FolderListingResult, 2> listings =
        LoadInputs(paths, *kind, options, inputs, context.debugLog, choices.folderComparison,
                   foldersByTime ? &sizes : nullptr);
    if (!InputsWhole(inputs, names, context) || !RowsFitInMemory(inputs, context)) {
        return {};
    }

    // The rows show the inputs' lines, which stay here until the pages are written.
    Notify(context, RunStage::Aligning);
    std::array<TextDocument, 2> rows{TextDocument(context.codePage),
                                     TextDocument(context.codePage)};
    ComputeDifferences(inputs[0], inputs[1], rows[0], rows[1], choices.alignment);

    // The pages are generated straight into their files.
    Notify(context, RunStage::Generating);
    const ReportHead head{
        {names.Shown(Side::One), names.Shown(Side::Two)}, context.codePage, lineNumbers};
    if (choices.reportForm == ReportForm::Single) {
        WriteSingleReport(rows[0], rows[1], head, report.Add(kSingleReportName));
    } else {
        WriteFramedReport(
            rows[0], rows[1], head,
            PageSinks{report.Add(kTopPageName), {report.Add(kPage1Name), report.Add(kPage2Name)}});
    }
    Notify(context, RunStage::Writing);
    const LineIndex differenceCount = DifferenceCount(rows[0], rows[1]);
    RunHints hints;
    hints.manyRowsDiffer = choices.alignment == Alignment::Greedy &&
                           ManyRowsDiffer(rows[0].GetLineCount(), differenceCount);
    if (foldersByTime) {
        hints.resizedFilePairs = ResizedFilePairs(rows[0], rows[1], sizes);
    }
    return RunResult{true, differenceCount, listings, hints};
}

bool CommitReport(ReportFiles& report, const RunContext& context) {
    if (report.Commit()) {
        return true;
    }
    const std::vector<ReportFiles::Failure> failures = report.Failures();
    for (const ReportFiles::Failure& failure : failures) {
        context.debugLog.Write(CannotCreateLine(failure.path));
    }
    if (!failures.empty()) {
        context.messages.Warn(messages::CannotOpenFile(
            failures.front().path, WriteFailureReason(failures.front().errorNumber)));
    }
    return false;
}

}  // namespace tandemix
