#include "cli/BriefRun.h"

#include <optional>

#include "base/CodePage.h"
#include "base/Side.h"
#include "cli/ConsoleSinks.h"
#include "cli/Outcome.h"
#include "folders/BriefListing.h"

namespace tandemix::cli {

int RunBrief(const CompareInvocation& invocation, const TextOut& out, const TextOut& err) {
    for (const std::string& warning : invocation.warnings) {
        err(warning + "\n");
    }
    ProgressLine noProgress(err);
    ConsoleMessages messages(err, noProgress);
    const CompareRequest& request = invocation.request;
    const std::optional<TreeComparison> comparison =
        CompareTrees(request, messages, CodePageFromLocale());
    if (!comparison) {
        return static_cast<int>(ExitStatus::Trouble);
    }
    const std::string lines = BriefListing(*comparison);
    if (!invocation.quiet) {
        out(lines);
    }
    for (const Side side : kBothSides) {
        for (const std::string& note :
             FolderListingNotes(comparison->walks[Index(side)], Number(side))) {
            messages.Inform(note);
        }
    }
    const ExitStatus status = Incomplete(*comparison) ? ExitStatus::Trouble
                              : lines.empty()         ? ExitStatus::NoDifferences
                                                      : ExitStatus::Differences;
    return static_cast<int>(status);
}

}  // namespace tandemix::cli
