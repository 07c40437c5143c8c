#include "cli/Application.h"

#include <unistd.h>

#include <filesystem>
#include <new>
#include <optional>

#include "base/CodePage.h"
#include "base/Messages.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleSinks.h"
#include "cli/HelpText.h"
#include "cli/Outcome.h"
#include "cli/StageProgress.h"
#include "desktop/DesktopLauncher.h"
#include "run/OutputDirectory.h"
#include "run/WebComparison.h"

namespace tandemix::cli {
namespace {

struct Console {
    TextOut out;
    TextOut err;
};

int Status(ExitStatus status) {
    return static_cast<int>(status);
}

int ShowInfo(InfoRequest info, const Console& console) {
    console.out(info == InfoRequest::Help ? HelpText() : VersionLine());
    return Status(ExitStatus::NoDifferences);
}

int ShowUsageError(const UsageError& error, const Console& console) {
    console.err("tandemix-cli: " + error.text + "\n");
    console.err(UsageLine());
    return Status(ExitStatus::Trouble);
}

std::optional<std::string> OutputDirectoryFor(const CompareInvocation& invocation) {
    if (invocation.outputDirectory) {
        // As users expect of an output option, a missing folder is made, parents and all;
        // one that cannot be made is reported by the run with the reason.
        std::error_code ignored;
        std::filesystem::create_directories(*invocation.outputDirectory, ignored);
        return invocation.outputDirectory;
    }
    return FindOutputDirectory(OutputDirectoryEnvironment::FromProcess());
}

CompareOutcome Run(const CompareInvocation& invocation, const RunContext& context,
                   ContainerLauncher* launcher) {
    if (!invocation.request.webPages) {
        return RunCompareCommand(invocation.request, context, launcher);
    }
    // Nobody can be asked for a login here: --user answers once, or the login is refused.
    CancellingPrompt cancelling;
    std::optional<FixedCredentialsPrompt> fixed;
    if (invocation.credentials) {
        fixed.emplace(*invocation.credentials);
    }
    CredentialsPrompt& prompt = fixed ? static_cast<CredentialsPrompt&>(*fixed) : cancelling;
    return RunWebCompareCommand(invocation.request, context, launcher, FetchSettings{}, prompt);
}

int Compare(const CompareInvocation& invocation, CodePage codePage, const Console& console) {
    const std::optional<std::string> outputDirectory = OutputDirectoryFor(invocation);
    if (!outputDirectory) {
        console.err(TerminalLine(messages::kNoOutputDirectory));
        return Status(ExitStatus::Trouble);
    }

    ProgressLine progressLine(console.err);
    std::optional<StageProgress> progress;
    // Progress is for a person watching; logs and pipes get only the messages.
    if (::isatty(STDERR_FILENO) == 1) {
        progress.emplace(progressLine);
    }
    ConsoleMessages messages(console.err, progressLine);
    ConsoleDebugLog debugLog(console.err, progressLine);
    const RunContext context{*outputDirectory, codePage, messages, debugLog,
                             progress ? &*progress : nullptr};
    std::optional<DesktopLauncher> launcher;
    if (invocation.open) {
        launcher.emplace();
    }

    CompareOutcome outcome;
    try {
        outcome = Run(invocation, context, launcher ? &*launcher : nullptr);
    } catch (const std::bad_alloc&) {
        progressLine.Clear();
        console.err(TerminalLine(messages::kNotEnoughMemory));
        return Status(ExitStatus::Trouble);
    }
    progressLine.Clear();

    const ExitStatus status = StatusOf(outcome, messages.AnyWarned());
    if (status != ExitStatus::Trouble && !invocation.quiet) {
        console.out(ResultLine(outcome.run.differenceCount) + "\n" + outcome.containerPath + "\n");
    }
    return Status(status);
}

}  // namespace

int RunApplication(std::span<const std::string> arguments) {
    const Console console{StreamOut(stdout), StreamOut(stderr)};
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (const auto* error = std::get_if<UsageError>(&commandLine)) {
        return ShowUsageError(*error, console);
    }
    if (const auto* info = std::get_if<InfoRequest>(&commandLine)) {
        return ShowInfo(*info, console);
    }
    const CodePage codePage = CodePageFromLocale();
    return Compare(std::get<CompareInvocation>(commandLine), codePage, console);
}

}  // namespace tandemix::cli
