#pragma once

#include <array>
#include <string>
#include <vector>

#include "run/CompareRequest.h"
#include "run/ComparisonRun.h"
#include "run/OutputFolderLock.h"

namespace tandemix {

// The ways of opening the container; OpenContainer chooses their order.
enum class LaunchAttempt { ByFileType, ReportViewer, BrowserLauncher };

class ContainerLauncher {
public:
    virtual ~ContainerLauncher() = default;
    // True when the attempt started something that shows the page.
    virtual bool Launch(LaunchAttempt attempt, const std::string& containerPath) = 0;
};

struct CompareOutcome {
    RunResult run;
    // The page to open: the container, or the one-file report itself. Empty when the run
    // stopped early.
    std::string containerPath;
    // In the Web Pages kind, the status each page's server answered with (400 and more are
    // compared like any page); 0 when no answer came or the kind is another.
    std::array<int, 2> pageStatus = {0, 0};
};

// What the user should know of a comparison that did not fail: a web page whose server
// answered with 400 or more (compared all the same), what a folder listing left out, and
// the run's hints, which name the choices as the front end does.
std::vector<std::string> OutcomeNotes(const CompareOutcome& outcome, const ChoiceNames& names);

// Runs the comparison, puts its pages (and the container page of the framed report) in
// place together when the run succeeded and, when a launcher is given, opens the page to
// open (OpenContainer), whose failure is not reported. Commands into one output folder take
// turns (OutputFolderTurn).
CompareOutcome RunCompareCommand(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher);

// The same on paths that differ from the typed inputs (the fetched copies of web pages);
// the typed inputs stay the names the report shows.
CompareOutcome RunCompareCommandOnPaths(const CompareRequest& request,
                                        const std::array<std::string, 2>& paths,
                                        const RunContext& context, ContainerLauncher* launcher);

// One command's turn at the output folder: waits for the command before, saying so once
// when that takes long, then checks that the folder can take a report, telling the user
// what is wrong with it when not, and removes the temporary files a killed run left there.
class OutputFolderTurn {
public:
    OutputFolderTurn(const RunContext& context, ReportForm form);
    bool Usable() const { return usable_; }

private:
    bool waited_ = false;  // before lock_, which sets it while it is made
    OutputFolderLock lock_;
    bool usable_ = false;
};

// The command for a caller that already has the folder's turn.
CompareOutcome RunCompareCommandInTurn(const CompareRequest& request,
                                       const std::array<std::string, 2>& paths,
                                       const RunContext& context, ContainerLauncher* launcher);

// Whether a report can be written into the output directory; when not, the user is told
// what is wrong with it, in the words of a page that cannot be written.
bool OutputDirectoryUsable(const RunContext& context, ReportForm form);

// Opens the page with the first attempt that works. The framed report's frames reach each
// other only in the report viewer, so it comes first there and opening by file type only
// when there is no viewer; the one-file report works in any browser, so it opens by file
// type first. The desktop's browser launcher is the last resort for both.
void OpenContainer(ContainerLauncher& launcher, const std::string& containerPath, ReportForm form);

}  // namespace tandemix
