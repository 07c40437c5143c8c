#include "run/CompareCommand.h"

namespace tandemix {
namespace {

std::string_view YesNo(bool on) {
    return on ? "yes" : "no";
}

}  // namespace

OptionMap BuildOptionMap(const CompareRequest& request) {
    OptionMap options;
    options.Set(OptionMap::kCase, YesNo(request.caseSensitive));
    options.Set(OptionMap::kIndent, YesNo(request.indent));
    options.Set(OptionMap::kLineBreakAfterEachTag, YesNo(request.breakAfterEachTag));
    options.Set(OptionMap::kDeleteAllTags, YesNo(request.deleteAllTags));
    options.Set(OptionMap::kShowEmptyLines, YesNo(request.keepEmptyLines));
    return options;
}

CompareOutcome RunCompareCommand(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher) {
    return RunCompareCommandOnPaths(request, request.input1, request.input2, context, launcher);
}

CompareOutcome RunCompareCommandOnPaths(const CompareRequest& request, const std::string& path1,
                                        const std::string& path2, const RunContext& context,
                                        ContainerLauncher* launcher) {
    const OptionMap options = BuildOptionMap(request);
    const WindowState window{request.showLineNumbers, request.webPages, request.input1,
                             request.input2};
    CompareOutcome outcome;
    outcome.run = ComparisonRun(path1, path2, options, window, context);
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
