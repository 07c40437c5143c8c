#include "run/CompareCommand.h"

#include "report/SingleReport.h"

namespace tandemix {
CompareOutcome RunCompareCommand(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher) {
    return RunCompareCommandOnPaths(request, request.input1, request.input2, context, launcher);
}

CompareOutcome RunCompareCommandOnPaths(const CompareRequest& request, const std::string& path1,
                                        const std::string& path2, const RunContext& context,
                                        ContainerLauncher* launcher) {
    const OptionMap options = BuildOptionMap(request.options);
    const WindowState window{request.showLineNumbers, request.webPages, request.input1,
                             request.input2};
    CompareOutcome outcome;
    outcome.run = ComparisonRun(path1, path2, options, window, context, request.choices);
    if (!outcome.run.written) {
        return outcome;
    }
    // The one-file report needs no page around it: it is itself what is opened.
    if (request.choices.reportForm == ReportForm::Single) {
        outcome.containerPath = OutputPath(context.outputDirectory, kSingleReportName);
    } else {
        outcome.containerPath =
            OutputPath(context.outputDirectory, ContainerName(request.containerForm));
        WriteResultContainer(outcome.containerPath, context.messages);
    }
    if (launcher != nullptr) {
        OpenContainer(*launcher, outcome.containerPath);
    }
    return outcome;
}

std::vector<std::string> OutcomeNotes(const CompareOutcome& outcome) {
    std::vector<std::string> notes;
    for (std::size_t page = 0; page < outcome.pageStatus.size(); ++page) {
        if (outcome.pageStatus[page] >= 400) {
            notes.push_back("Warnung: Internet-Seite " + std::to_string(page + 1) +
                            " antwortete mit " + std::to_string(outcome.pageStatus[page]));
        }
    }
    for (std::size_t input = 0; input < outcome.run.folderListings.size(); ++input) {
        for (std::string& note :
             FolderListingNotes(outcome.run.folderListings[input], static_cast<int>(input + 1))) {
            notes.push_back(std::move(note));
        }
    }
    return notes;
}

void OpenContainer(ContainerLauncher& launcher, const std::string& containerPath) {
    for (const LaunchAttempt attempt :
         {LaunchAttempt::ByFileType, LaunchAttempt::ReportViewer, LaunchAttempt::BrowserLauncher}) {
        if (launcher.Launch(attempt, containerPath)) {
            return;
        }
    }
}

}  // namespace tandemix
