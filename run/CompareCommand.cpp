#include "run/CompareCommand.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "base/FailureReason.h"
#include "base/FileReplacement.h"
#include "base/Messages.h"
#include "base/Side.h"
#include "report/OutputNames.h"
#include "report/SingleReport.h"
#include "run/ComparisonRun.h"
#include "run/ReportFiles.h"
#include "run/TreeRun.h"

namespace tandemix {
namespace {

// What keeps a report from being written into the folder, as an error number: it is
// missing (ENOENT), not a folder (ENOTDIR), not writable (EACCES, EROFS) or full (ENOSPC).
// 0 when nothing is known to be wrong.
int OutputDirectoryProblem(const std::string& directory) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        return errno;
    }
    if (!S_ISDIR(info.st_mode)) {
        return ENOTDIR;
    }
    if (::access(directory.c_str(), W_OK | X_OK) != 0) {
        return errno;
    }
    // The blocks kept for the administrator count only for the administrator.
    struct statvfs space {};
    if (::statvfs(directory.c_str(), &space) == 0 &&
        (::geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0) {
        return ENOSPC;
    }
    return 0;
}

// The message names the first file the report would have written.
void WarnUnusable(const RunContext& context, ReportForm form, int errorNumber) {
    const std::string_view first = form == ReportForm::Single ? kSingleReportName : kTopPageName;
    context.messages.Warn(messages::CannotOpenFile(OutputPath(context.outputDirectory, first),
                                                   WriteFailureReason(errorNumber)));
}

}  // namespace

CompareOutcome CompareIntoReport(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher) {
    const OutputFolderTurn turn(context, request.choices.reportForm);
    if (!turn.Usable()) {
        return {};
    }
    return CompareInTurn(request, request.inputs, context, launcher);
}

std::optional<TreeComparison> CompareTrees(const CompareRequest& request, MessageSink& messages,
                                           CodePage codePage) {
    return CompareInputTrees(request.inputs, request.choices, messages, BinaryCheck::Skip,
                             BuildOptionMap(request.options), codePage);
}

OutputFolderTurn::OutputFolderTurn(const RunContext& context, ReportForm form)
    : lock_(context.outputDirectory, [this, &context] {
          waited_ = true;
          context.messages.ShowStatus(messages::WaitingForFolder(context.outputDirectory));
      }) {
    if (waited_) {
        context.messages.ShowStatus({});
    }
    if (!lock_.Held()) {
        // A lock file that is there but cannot be used is named itself; otherwise the
        // folder is at fault.
        if (lock_.FileAtFault()) {
            context.messages.Warn(messages::CannotOpenFile(
                lock_.Path(), lock_.NotRegular() ? std::string(messages::kLockNotARegularFile)
                                                 : WriteFailureReason(lock_.Error())));
        } else {
            WarnUnusable(context, form, lock_.Error());
        }
        return;
    }
    usable_ = CheckOutputFolder(context, form);
    if (usable_) {
        RemoveLeftoverParts(context.outputDirectory);
    }
}

CompareOutcome CompareInTurn(const CompareRequest& request, const std::array<std::string, 2>& paths,
                             const RunContext& context, ContainerLauncher* launcher) {
    ReportFiles report(context.outputDirectory);
    CompareOutcome outcome;
    outcome.run = ComparisonRun(request, paths, context, report);
    if (!outcome.run.written) {
        return outcome;
    }
    // The one-file report needs no page around it: it is itself what is opened.
    const std::string_view opened = request.choices.reportForm == ReportForm::Single
                                        ? kSingleReportName
                                        : ContainerName(request.containerForm);
    if (request.choices.reportForm == ReportForm::Framed) {
        report.Add(opened).Append(ContainerText());
    }
    if (!CommitReport(report, context)) {
        outcome.run.written = false;
        return outcome;
    }
    outcome.containerPath = OutputPath(context.outputDirectory, opened);
    if (launcher != nullptr) {
        OpenContainer(*launcher, outcome.containerPath, request.choices.reportForm);
    }
    return outcome;
}

std::vector<std::string> OutcomeNotes(const CompareOutcome& outcome, const ChoiceNames& names) {
    std::vector<std::string> notes;
    // Only web pages have a status and only folders a listing, so one pass over the sides
    // keeps the notes of every run in order.
    for (const Side side : kBothSides) {
        if (const int status = outcome.pageStatus[Index(side)]; status >= 400) {
            notes.push_back("Warnung: Internet-Seite " + std::to_string(Number(side)) +
                            " antwortete mit " + std::to_string(status));
        }
        for (std::string& note :
             FolderListingNotes(outcome.run.folderListings[Index(side)], Number(side))) {
            notes.push_back(std::move(note));
        }
    }
    for (std::string& note : HintNotes(outcome.run.hints, names)) {
        notes.push_back(std::move(note));
    }
    return notes;
}

bool CheckOutputFolder(const RunContext& context, ReportForm form) {
    const int problem = OutputDirectoryProblem(context.outputDirectory);
    if (problem != 0) {
        WarnUnusable(context, form, problem);
    }
    return problem == 0;
}

void OpenContainer(ContainerLauncher& launcher, const std::string& containerPath, ReportForm form) {
    const bool framed = form == ReportForm::Framed;
    const LaunchAttempt first = framed ? LaunchAttempt::ReportViewer : LaunchAttempt::ByFileType;
    const LaunchAttempt second = framed ? LaunchAttempt::ByFileType : LaunchAttempt::ReportViewer;
    for (const LaunchAttempt attempt : {first, second, LaunchAttempt::BrowserLauncher}) {
        if (launcher.Launch(attempt, containerPath)) {
            return;
        }
    }
}

}  // namespace tandemix
