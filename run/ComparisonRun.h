#pragma once

// Inside the run layer: one comparison into report files that the caller commits. Front
// ends use run/Comparison.h.

#include <array>
#include <string>

#include "run/CompareRequest.h"
#include "run/RunContext.h"

namespace tandemix {

class ReportFiles;

// Loads two files or two folders, aligns them and adds the report's files to `report`,
// which the caller commits (CommitReport): the three framed pages, or the one-file report.
// Stops with a message, adding nothing, when an input is missing, when the kinds differ, or
// when an input cannot be read whole (unreadable, not a regular file, too large for a
// document or for the memory left); `written` means that the pages were added.
// The paths read are `paths`; the request's inputs are the names shown, which differ from
// the paths for web pages (their fetched copies).
RunResult ComparisonRun(const CompareRequest& request, const std::array<std::string, 2>& paths,
                        const RunContext& context, ReportFiles& report);

// Puts the report's files in place. When that fails, each file that could not be written
// goes to the debug log and the user is told about the first one and why.
bool CommitReport(ReportFiles& report, const RunContext& context);

}  // namespace tandemix
