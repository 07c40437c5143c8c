#include "run/CompareCommand.h"

#include "base/FailureReason.h"
#include "base/Messages.h"
#include "run/OutputDirectory.h"

namespace tandemix {

bool OutputDirectoryUsable(const RunContext& context) {
    const int problem = OutputDirectoryProblem(context.outputDirectory);
    if (problem != 0) {
        context.messages.Warn(messages::CannotOpenFile(
            OutputPath(context.outputDirectory, kTopPageName), WriteFailureReason(problem)));
    }
    return problem == 0;
}

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
    if (!OutputDirectoryUsable(context)) {
        return outcome;
    }
    outcome.run = ComparisonRun(path1, path2, options, window, context, request.choices);
    if (!outcome.run.written) {
        return outcome;
    }
    outcome.containerPath =
        OutputPath(context.outputDirectory, ContainerName(request.containerForm));
    WriteResultContainer(outcome.containerPath, context.messages);
    if (launcher != nullptr) {
        OpenContainer(*launcher, outcome.containerPath);
    }
    return outcome;
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
