#include "cli/Application.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "base/CodePage.h"
#include "base/Messages.h"
#include "cli/BriefRun.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleSinks.h"
#include "cli/HelpText.h"
#include "cli/LoginPrompt.h"
#include "cli/Outcome.h"
#include "cli/SignalWatch.h"
#include "cli/StageProgress.h"
#include "cli/TerminalPassword.h"
#include "desktop/DesktopLauncher.h"
#include "desktop/OutputDirectory.h"
#include "run/Comparison.h"

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

std::optional<std::string> OutputDirectoryFor(const CompareInvocation& invocation,
                                              MessageSink& messages) {
    if (invocation.outputDirectory) {
        return invocation.outputDirectory;
    }
    return FindOutputDirectory(OutputDirectoryEnvironment::FromProcess(), messages);
}

// As users expect of an output option, a missing folder is made, parents and all; but not
// for inputs the run would refuse at once, which would leave an empty folder behind. One
// that cannot be made is reported by the run with the reason.
bool MakeOutputDirectory(const CompareInvocation& invocation, const RunContext& context) {
    std::error_code ignored;
    if (!invocation.outputDirectory ||
        std::filesystem::exists(*invocation.outputDirectory, ignored)) {
        return true;
    }
    if (!invocation.request.WebPages() && !CheckInputs(invocation.request, context)) {
        return false;
    }
    std::filesystem::create_directories(*invocation.outputDirectory, ignored);
    return true;
}

// What a web comparison on the command line may ask: --user answers a login, with the
// password from the command line, the environment or the terminal; the certificate
// question is answered no, with a hint at --insecure.
struct WebAnswers {
    SignalWatch* signals = nullptr;
    CertificateQuestion& certificate;
};

std::optional<LoginPrompt> LoginFor(const CompareInvocation& invocation, SignalWatch* signals) {
    if (!invocation.login) {
        return std::nullopt;
    }
    std::optional<std::string> password = invocation.login->password;
    if (!password) {
        if (const char* fromEnvironment = std::getenv(kPasswordVariable)) {
            password = fromEnvironment;
        }
    }
    return LoginPrompt(
        invocation.login->user, std::move(password),
        [signals](std::string_view prompt) { return ReadPasswordFromTerminal(prompt, signals); });
}

FetchSettings SettingsFor(const CompareInvocation& invocation) {
    FetchSettings settings;
    settings.certificateCheck = invocation.certificateCheck;
    // The authorities to trust, named as for other programs built on OpenSSL.
    if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle != nullptr && *bundle != '\0') {
        settings.caBundlePath = bundle;
    }
    return settings;
}

CompareOutcome Run(const CompareInvocation& invocation, const RunContext& context,
                   ContainerLauncher* launcher, const WebAnswers& answers) {
    if (!invocation.request.WebPages()) {
        return CompareIntoReport(invocation.request, context, launcher);
    }
    CancellingPrompt cancelling;
    std::optional<LoginPrompt> login = LoginFor(invocation, answers.signals);
    CredentialsPrompt& prompt = login ? static_cast<CredentialsPrompt&>(*login) : cancelling;
    return CompareWebPagesIntoReport(invocation.request, context, launcher, SettingsFor(invocation),
                                     FetchQuestions{prompt, answers.certificate});
}

// An interrupted web comparison must not leave its downloads behind.
SignalWatch::Registration RemoveDownloadsOnSignal(SignalWatch& signals,
                                                  const std::string& outputDirectory) {
    return signals.OnSignal([paths = std::array{OutputPath(outputDirectory, kWebPage1Name),
                                                OutputPath(outputDirectory, kWebPage2Name)}] {
        for (const std::string& path : paths) {
            std::remove(path.c_str());
        }
    });
}

// Passes the stages on to the progress line, when there is one. The downloads are removed
// on a signal only from the fetching on: before, the command may still wait for another
// one, whose downloads the folder then holds. The removal ends with the command.
class RunStages final : public RunObserver {
public:
    RunStages(RunObserver* progress, SignalWatch* signals, std::string outputDirectory)
        : progress_(progress), signals_(signals), outputDirectory_(std::move(outputDirectory)) {}

    void OnStage(RunStage stage) override {
        if (stage == RunStage::Fetching && signals_ != nullptr) {
            removeDownloads_ = RemoveDownloadsOnSignal(*signals_, outputDirectory_);
        }
        if (progress_ != nullptr) {
            progress_->OnStage(stage);
        }
    }
    void CommandEnded() { removeDownloads_ = {}; }

private:
    RunObserver* progress_;
    SignalWatch* signals_;
    std::string outputDirectory_;
    SignalWatch::Registration removeDownloads_;
};

int Compare(const CompareInvocation& invocation, CodePage codePage, const Console& console) {
    if (invocation.brief) {
        return RunBrief(invocation, console.out, console.err);
    }
    for (const std::string& warning : invocation.warnings) {
        console.err(warning + "\n");
    }
    // Made before any thread starts (libcurl's name lookups start some), so that every thread
    // leaves the signals to the watch.
    std::optional<SignalWatch> signals;
    if (invocation.request.WebPages()) {
        signals.emplace();
    }

    ProgressLine progressLine(console.err);
    std::optional<StageProgress> progress;
    // Progress is for a person watching; logs and pipes get only the messages.
    if (::isatty(STDERR_FILENO) == 1) {
        progress.emplace(progressLine);
    }
    ConsoleMessages messages(console.err, progressLine);
    ConsoleDebugLog debugLog(console.err, progressLine);
    ConsoleCertificateQuestion certificate(console.err, progressLine);
    const std::optional<std::string> outputDirectory = OutputDirectoryFor(invocation, messages);
    if (!outputDirectory) {
        return Status(ExitStatus::Trouble);
    }
    RunStages stages(progress ? &*progress : nullptr, signals ? &*signals : nullptr,
                     *outputDirectory);
    const RunContext context{*outputDirectory, codePage, messages, debugLog, &stages};
    if (!MakeOutputDirectory(invocation, context)) {
        return Status(ExitStatus::Trouble);
    }
    std::optional<DesktopLauncher> launcher;
    if (invocation.open) {
        launcher.emplace();
    }

    CompareOutcome outcome;
    try {
        outcome = Run(invocation, context, launcher ? &*launcher : nullptr,
                      WebAnswers{signals ? &*signals : nullptr, certificate});
    } catch (const std::bad_alloc&) {
        stages.CommandEnded();
        progressLine.Clear();
        console.err(TerminalLine(messages::kNotEnoughMemory));
        return Status(ExitStatus::Trouble);
    }
    stages.CommandEnded();
    progressLine.Clear();
    // Error pages, what a listing left out and hints are worth knowing, but the run did not
    // fail. Hints are advice only, which --quiet does not ask for.
    if (invocation.quiet) {
        outcome.run.hints = {};
    }
    for (const std::string& note : OutcomeNotes(outcome, kCommandLineChoices)) {
        messages.Inform(note);
    }

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
