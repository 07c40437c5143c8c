#pragma once

// Inside the run layer: the pieces of the compare command that the entry points
// (Comparison.h) share.

#include <array>
#include <string>

#include "run/Comparison.h"
#include "run/OutputFolderLock.h"

namespace tandemix {

// One command's turn at the output folder: waits for the command before, saying so once
// when that takes long, then checks that the folder can take a report (CheckOutputFolder)
// and removes the temporary files a killed run left there.
class OutputFolderTurn {
public:
    OutputFolderTurn(const RunContext& context, ReportForm form);
    bool Usable() const { return usable_; }

private:
    bool waited_ = false;  // before lock_, which sets it while it is made
    OutputFolderLock lock_;
    bool usable_ = false;
};

// The compare command for a caller that already has the folder's turn, on paths that may
// differ from the typed inputs (the fetched copies of web pages); the typed inputs stay the
// names the report shows.
CompareOutcome CompareInTurn(const CompareRequest& request, const std::array<std::string, 2>& paths,
                             const RunContext& context, ContainerLauncher* launcher);

// Opens the page with the first attempt that works. The framed report's frames reach each
// other only in the report viewer, so it comes first there and opening by file type only
// when there is no viewer; the one-file report works in any browser, so it opens by file
// type first. The desktop's browser launcher is the last resort for both.
void OpenContainer(ContainerLauncher& launcher, const std::string& containerPath, ReportForm form);

}  // namespace tandemix
