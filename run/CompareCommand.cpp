#include "run/CompareCommand.h"

#include "base/FailureReason.h"
#include "base/FileReplacement.h"
#include "base/Messages.h"
#include "run/OutputDirectory.h"
#include "run/ReportFiles.h"

namespace tandemix {
namespace {

void WarnUnusable(const RunContext& context, int errorNumber) {
    context.messages.Warn(messages::CannotOpenFile(
        OutputPath(context.outputDirectory, kTopPageName), WriteFailureReason(errorNumber)));
}

}  // namespace

CompareOutcome RunCompareCommand(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher) {
    return RunCompareCommandOnPaths(request, request.input1, request.input2, context, launcher);
}

CompareOutcome RunCompareCommandOnPaths(const CompareRequest& request, const std::string& path1,
                                        const std::string& path2, const RunContext& context,
                                        ContainerLauncher* launcher) {
    const OutputFolderTurn turn(context);
    if (!turn.Usable()) {
        return {};
    }
    return RunCompareCommandInTurn(request, path1, path2, context, launcher);
}

OutputFolderTurn::OutputFolderTurn(const RunContext& context) : lock_(context.outputDirectory) {
    if (!lock_.Held()) {
        WarnUnusable(context, lock_.Error());
        return;
    }
    usable_ = OutputDirectoryUsable(context);
    if (usable_) {
        RemoveLeftoverParts(context.outputDirectory);
    }
}

CompareOutcome RunCompareCommandInTurn(const CompareRequest& request, const std::string& path1,
                                       const std::string& path2, const RunContext& context,
                                       ContainerLauncher* launcher) {
    const OptionMap options = BuildOptionMap(request.options);
    const WindowState window{request.showLineNumbers, request.webPages, request.input1,
                             request.input2};
    ReportFiles report(context.outputDirectory);
    CompareOutcome outcome;
    outcome.run = ComparisonRun(path1, path2, options, window, context, request.choices, report);
    if (!outcome.run.written) {
        return outcome;
    }
    report.Add(ContainerName(request.containerForm)).Append(ContainerText());
    if (!CommitReport(report, context)) {
        outcome.run.written = false;
        return outcome;
    }
    outcome.containerPath =
        OutputPath(context.outputDirectory, ContainerName(request.containerForm));
    if (launcher != nullptr) {
        OpenContainer(*launcher, outcome.containerPath);
    }
    return outcome;
}

bool OutputDirectoryUsable(const RunContext& context) {
    const int problem = OutputDirectoryProblem(context.outputDirectory);
    if (problem != 0) {
        WarnUnusable(context, problem);
    }
    return problem == 0;
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
