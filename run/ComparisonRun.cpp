#include "run/ComparisonRun.h"

#include <array>
#include <cerrno>
#include <optional>

#include "base/AvailableMemory.h"
#include "base/FailureReason.h"
#include "base/Messages.h"
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

// How the messages of a run name its two inputs.
struct InputNames {
    InputKind kind = InputKind::File;
    const CompareRequest& request;
    const std::array<std::string, 2>& paths;

    std::string Name(std::size_t side) const {
        const char* word = request.WebPages()          ? "Internet-Seite "
                           : kind == InputKind::Folder ? "Verzeichnis "
                                                       : "Datei ";
        return word + std::to_string(side + 1);
    }
    // Web pages are named by their addresses, not by the fetched copies.
    const std::string& Shown(std::size_t side) const {
        return request.WebPages() ? request.inputs[side] : paths[side];
    }
};

std::uint64_t MemoryLeft(const RunContext& context) {
    return context.limits.availableMemory.value_or(AvailableMemory().value_or(UINT64_MAX));
}

// Everything that can be known before reading: each input can be opened and held, and
// the files fit into the memory left.
bool InputsCanBeLoaded(const InputNames& names, const RunContext& context) {
    for (std::size_t side = 0; side < 2; ++side) {
        const InputProblem problem =
            CheckInput(names.paths[side], names.kind, context.limits.document);
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
bool InputsWhole(const std::array<const TextDocument*, 2>& inputs, const InputNames& names,
                 const RunContext& context) {
    for (std::size_t side = 0; side < 2; ++side) {
        if (const InputProblem& problem = inputs[side]->GetProblem()) {
            context.messages.Warn(ProblemMessage(problem, names.Name(side), names.Shown(side),
                                                 context.limits.document));
            return false;
        }
    }
    return true;
}

// The rows need memory beyond the inputs; better to say so than to make the machine swap.
bool RowsFitInMemory(const TextDocument& input1, const TextDocument& input2,
                     const RunContext& context) {
    if (AlignmentMemory(input1, input2) <= MemoryLeft(context)) {
        return true;
    }
    context.messages.Warn(messages::NotEnoughMemoryForLines(
        static_cast<std::uint64_t>(input1.GetLineCount() + input2.GetLineCount())));
    return false;
}

std::optional<InputKind> AcceptableKind(const CompareRequest& request,
                                        const std::array<std::string, 2>& paths,
                                        const RunContext& context) {
    const std::optional<InputKind> kind = KindOfInputs(
        paths[0], paths[1], context.messages, request.WebPages() ? &request.inputs : nullptr);
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
    const std::string& path1 = paths[0];
    const std::string& path2 = paths[1];
    const LineNumbers lineNumbers =
        request.showLineNumbers ? LineNumbers::Shown : LineNumbers::Hidden;
    // Two folders in one file are compared entry by entry, with every changed file's rows.
    if (*kind == InputKind::Folder && choices.reportForm == ReportForm::Single) {
        return TreeReportRun(path1, path2, options, context, choices, lineNumbers, report);
    }

    TextDocument input1(context.codePage);
    TextDocument input2(context.codePage);
    input1.SetLimits(context.limits.document);
    input2.SetLimits(context.limits.document);
    Notify(context, RunStage::Loading);
    // Listed by time, a file's size is not on its line; kept aside, it tells whether files
    // paired as unchanged may differ after all.
    const bool foldersByTime =
        *kind == InputKind::Folder && choices.folderComparison == FolderComparison::ByTime;
    std::array<ListedSizes, 2> sizes;
    const std::array<FolderListingResult, 2> listings =
        LoadInputs(path1, path2, *kind, options, input1, input2, context.debugLog,
                   choices.folderComparison, foldersByTime ? &sizes : nullptr);
    if (!InputsWhole({&input1, &input2}, names, context) ||
        !RowsFitInMemory(input1, input2, context)) {
        return {};
    }

    // The rows show the inputs' lines, which stay here until the pages are written.
    Notify(context, RunStage::Aligning);
    TextDocument rows1(context.codePage);
    TextDocument rows2(context.codePage);
    ComputeDifferences(input1, input2, rows1, rows2, choices.alignment);

    // The pages are generated straight into their files.
    Notify(context, RunStage::Generating);
    const bool showNames = !request.WebPages();
    const std::string_view name1 = showNames ? rows1.GetName() : request.inputs[0];
    const std::string_view name2 = showNames ? rows2.GetName() : request.inputs[1];
    const ReportHead head{name1, name2, context.codePage, lineNumbers};
    if (choices.reportForm == ReportForm::Single) {
        WriteSingleReport(rows1, rows2, head, report.Add(kSingleReportName));
    } else {
        WriteFramedReport(
            rows1, rows2, head,
            PageSinks{report.Add(kTopPageName), report.Add(kPage1Name), report.Add(kPage2Name)});
    }
    Notify(context, RunStage::Writing);
    const LineIndex differenceCount = DifferenceCount(rows1, rows2);
    RunHints hints;
    hints.manyRowsDiffer = choices.alignment == Alignment::Greedy &&
                           ManyRowsDiffer(rows1.GetLineCount(), differenceCount);
    if (foldersByTime) {
        hints.resizedFilePairs = ResizedFilePairs(rows1, rows2, sizes);
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
