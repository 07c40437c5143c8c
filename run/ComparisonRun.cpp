#include "run/ComparisonRun.h"

#include <array>
#include <optional>

#include "base/Messages.h"
#include "diff/DifferenceEngine.h"
#include "report/ReportWriter.h"
#include "report/ResultContainer.h"
#include "report/SingleReport.h"
#include "run/InputLoading.h"

namespace tandemix {
namespace {

void Notify(const RunContext& context, RunStage stage) {
    if (context.observer != nullptr) {
        context.observer->OnStage(stage);
    }
}

struct AlignedRows {
    TextDocument rows1;
    TextDocument rows2;
    std::array<FolderListingResult, 2> listings{};
};

// The inputs live only until they are aligned; the rows keep the texts they show.
AlignedRows LoadAndAlign(const std::string& path1, const std::string& path2, InputKind kind,
                         const OptionMap& options, const RunContext& context,
                         const RunChoices& choices) {
    TextDocument input1(context.codePage);
    TextDocument input2(context.codePage);
    Notify(context, RunStage::Loading);
    const std::array<FolderListingResult, 2> listings = LoadInputs(
        path1, path2, kind, options, input1, input2, context.debugLog, choices.folderComparison);
    Notify(context, RunStage::Aligning);
    AlignedRows aligned{TextDocument(context.codePage), TextDocument(context.codePage), listings};
    ComputeDifferences(input1, input2, aligned.rows1, aligned.rows2, choices.alignment);
    return aligned;
}

// The three framed pages, generated whole and written in their order; false when one
// could not be written, after trying all three.
bool WriteFramedReport(const AlignedRows& aligned, LineNumbers lineNumbers, std::string_view name1,
                       std::string_view name2, const RunContext& context) {
    const std::array<std::string, 3> pagePaths = {
        OutputPath(context.outputDirectory, kTopPageName),
        OutputPath(context.outputDirectory, kPage1Name),
        OutputPath(context.outputDirectory, kPage2Name),
    };
    const ReportWriter writer;
    Notify(context, RunStage::Generating);
    ReportPages pages;
    writer.GeneratePages(aligned.rows1, aligned.rows2, pages, lineNumbers, name1, name2);

    Notify(context, RunStage::Writing);
    const std::array<const std::string*, 3> texts = {&pages.top, &pages.page1, &pages.page2};
    std::optional<std::string> firstFailure;
    for (std::size_t i = 0; i < pagePaths.size(); ++i) {
        if (!writer.WritePage(pagePaths[i], *texts[i], context.debugLog) && !firstFailure) {
            firstFailure = pagePaths[i];
        }
    }
    if (firstFailure) {
        context.messages.Warn(messages::CannotOpenFile(*firstFailure));
        return false;
    }
    return true;
}

// The one-file report, generated straight into its file.
bool WriteSingleReport(const AlignedRows& aligned, LineNumbers lineNumbers, std::string_view name1,
                       std::string_view name2, const RunContext& context) {
    const std::string path = OutputPath(context.outputDirectory, kSingleReportName);
    const SingleReportHead head{name1, name2, context.codePage, lineNumbers};
    Notify(context, RunStage::Generating);
    Notify(context, RunStage::Writing);
    if (!WriteSingleReportFile(path, aligned.rows1, aligned.rows2, head, context.debugLog)) {
        context.messages.Warn(messages::CannotOpenFile(path));
        return false;
    }
    return true;
}

}  // namespace

RunResult ComparisonRun(const std::string& path1, const std::string& path2,
                        const OptionMap& options, const WindowState& window,
                        const RunContext& context, const RunChoices& choices) {
    const InputKind kind1 = KindOfPath(path1);
    if (kind1 == InputKind::Missing) {
        context.messages.Warn(messages::kInput1Missing);
        return {};
    }
    const InputKind kind2 = KindOfPath(path2);
    if (kind2 == InputKind::Missing) {
        context.messages.Warn(messages::kInput2Missing);
        return {};
    }
    if (kind1 != kind2) {
        context.messages.Warn(messages::kKindsDiffer);
        return {};
    }

    const AlignedRows aligned = LoadAndAlign(path1, path2, kind1, options, context, choices);
    const bool showNames = !window.webPagesKind;
    const std::string_view name1 = showNames ? aligned.rows1.GetName() : window.inputText1;
    const std::string_view name2 = showNames ? aligned.rows2.GetName() : window.inputText2;
    const LineNumbers lineNumbers =
        window.showLineNumbers ? LineNumbers::Shown : LineNumbers::Hidden;
    const bool written = choices.reportForm == ReportForm::Single
                             ? WriteSingleReport(aligned, lineNumbers, name1, name2, context)
                             : WriteFramedReport(aligned, lineNumbers, name1, name2, context);
    if (!written) {
        return {};
    }
    return RunResult{true, DifferenceCount(aligned.rows1, aligned.rows2), aligned.listings};
}

}  // namespace tandemix
