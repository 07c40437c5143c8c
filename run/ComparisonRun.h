#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "base/OptionMap.h"
#include "diff/DifferenceEngine.h"
#include "document/InputProblem.h"
#include "document/LineIndex.h"
#include "folders/FolderListing.h"
#include "report/ReportForm.h"
#include "run/CompareRequest.h"
#include "run/RunHints.h"

namespace tandemix {

class ReportFiles;

// Stages of a run, for front ends that show progress. Fetching comes only in the Web Pages
// kind, once the command has the output folder to itself.
enum class RunStage { Fetching, Loading, Aligning, Generating, Writing };

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void OnStage(RunStage stage) = 0;
};

// What a run may take in. Tests hand in small limits.
struct RunLimits {
    DocumentLimits document;
    // The bytes of memory the run may still take; nothing to ask the machine.
    std::optional<std::uint64_t> availableMemory;
};

struct RunContext {
    std::string outputDirectory;  // without trailing separator
    CodePage codePage = CodePage::None;
    MessageSink& messages;
    DebugLog& debugLog;
    RunObserver* observer = nullptr;  // optional
    RunLimits limits = {};
};

struct RunResult {
    bool written = false;  // the report was generated and written
    LineIndex differenceCount = 0;
    // What each folder listing left out; notes for the user, not failures.
    std::array<FolderListingResult, 2> folderListings{};
    // Where a default choice may have misled; also notes, not failures.
    RunHints hints{};
    // A comparison of two trees that could not see everything (an unreadable entry, a walk
    // that ended at the entry limit): the report is written, but the run failed.
    bool incomplete = false;
};

// Loads two files or two folders, aligns them and adds the report's files to `report`,
// which the caller commits (CommitReport): the three framed pages, or the one-file report.
// Stops with a message, adding nothing, when an input is missing, when the kinds differ, or
// when an input cannot be read whole (unreadable, not a regular file, too large for a
// document or for the memory left); `written` means that the pages were added.
// The paths read are `paths`; the request's inputs are the names shown, which differ from
// the paths for web pages (their fetched copies).
RunResult ComparisonRun(const CompareRequest& request, const std::array<std::string, 2>& paths,
                        const RunContext& context, ReportFiles& report);

// The checks a run makes of its inputs before it reads any (both exist and are of one kind,
// each can be opened and held, the files fit into the memory left), with the run's
// messages; for a caller that wants to know before it prepares the output folder.
bool InputsAcceptable(const CompareRequest& request, const RunContext& context);

// Puts the report's files in place. When that fails, each file that could not be written
// goes to the debug log and the user is told about the first one and why.
bool CommitReport(ReportFiles& report, const RunContext& context);

}  // namespace tandemix
