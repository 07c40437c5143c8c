#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/ComparisonOptions.h"
#include "diff/DifferenceEngine.h"
#include "folders/FolderListing.h"
#include "report/ReportForm.h"
#include "report/ResultContainer.h"

namespace tandemix {

// Opt-in choices of a run: each default leaves the report as the default run writes it.
struct RunChoices {
    Alignment alignment = Alignment::Greedy;
    FolderComparison folderComparison = FolderComparison::ByTime;
    ReportForm reportForm = ReportForm::Framed;
    // Shell patterns of entry names that a tree comparison leaves out, with their subtrees.
    std::vector<std::string> exclusions{};

    bool operator==(const RunChoices&) const = default;
};

// What the two inputs are: two files or two folders (found from the paths), or two web
// pages, whose addresses are fetched first and shown as the inputs' names.
enum class InputsKind { FilesOrFolders, WebPages };

// One comparison as the command line or the window asks for it; the run takes nothing else
// but where to write and whom to tell. The defaults are the window's initial values.
struct CompareRequest {
    std::array<std::string, 2> inputs{};  // indexed by Index(Side)
    InputsKind kind = InputsKind::FilesOrFolders;
    // The loader and matching options; BuildOptionMap gives the engine's stored form.
    ComparisonOptions options{};
    bool showLineNumbers = true;
    bool followRedirects = false;  // Web Pages kind only
    ContainerForm containerForm = ContainerForm::Html;
    RunChoices choices{};

    bool WebPages() const { return kind == InputsKind::WebPages; }
};

}  // namespace tandemix
