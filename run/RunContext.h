#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "document/InputProblem.h"
#include "document/LineIndex.h"
#include "folders/FolderListing.h"
#include "run/RunHints.h"

namespace tandemix {

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

}  // namespace tandemix
