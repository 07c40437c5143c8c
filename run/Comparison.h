#pragma once

// The run layer's entry points: what a front end calls to compare two inputs into a report.
// The request (CompareRequest.h) says what to compare and how; the context (RunContext.h)
// where to write and whom to tell. Everything else in run/ serves these five.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/MessageSink.h"
#include "folders/TreeEntry.h"
#include "report/ReportForm.h"
#include "run/CompareRequest.h"
#include "run/RunContext.h"
#include "run/RunHints.h"
#include "web/CertificateQuestion.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"
#include "web/WebRetrieval.h"

namespace tandemix {

// The ways of opening the container; they are tried in an order that suits the report form.
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

// Whom the fetches of one comparison may ask.
struct FetchQuestions {
    CredentialsPrompt& credentials;
    CertificateQuestion& certificate;
};

// 1. Whether a report can be written into the output directory; when not, the user is told
// what is wrong with it, in the words of a page that cannot be written.
bool CheckOutputFolder(const RunContext& context, ReportForm form);

// 2. The checks a run makes of its inputs before it reads any (both exist and are of one
// kind, each can be opened and held, the files fit into the memory left), with the run's
// messages; for a caller that wants to know before it prepares the output folder.
bool CheckInputs(const CompareRequest& request, const RunContext& context);

// 3. Compares two files or two folders: takes the output folder's turn (commands into one
// folder wait for each other, the folder is checked and a killed run's temporary files are
// removed), runs the comparison, puts its pages (and the container page of the framed
// report) in place together when the run succeeded and, when a launcher is given, opens the
// page to open, whose failure is not reported.
CompareOutcome CompareIntoReport(const CompareRequest& request, const RunContext& context,
                                 ContainerLauncher* launcher);

// 4. The same in the Web Pages kind: fetches page 2, then page 1, compares the two fetched
// files under the typed addresses (a password in them shown as "***") and deletes both files
// again, whatever happened. A page that cannot be fetched is told as a missing input, with
// the reason on a second line, and nothing is compared. Redirects are followed as the
// request says, overriding the settings. When a page fails under a full certificate check
// only for the certificate's name or dates, the certificate question is asked, once per
// comparison; on yes that page and the rest are fetched accepting such certificates. The
// outcome carries each page's status.
// The fetching is the web module's, opened once the output folder is known to be usable;
// when it cannot be opened, that is told and nothing is compared. A program that links the
// web layer's code in passes its table as `linked` instead.
CompareOutcome CompareWebPagesIntoReport(const CompareRequest& request, const RunContext& context,
                                         ContainerLauncher* launcher, const FetchSettings& settings,
                                         const FetchQuestions& questions,
                                         const WebRetrieval* linked = nullptr);

// 5. Compares two folders (or two files) entry by entry under the request's options and
// exclusions, reading contents only to compare them, for a listing rather than a report.
// Nothing, after telling the user, when an input is missing, the kinds differ or a folder
// cannot be opened.
std::optional<TreeComparison> CompareTrees(const CompareRequest& request, MessageSink& messages,
                                           CodePage codePage = CodePage::None);

}  // namespace tandemix
