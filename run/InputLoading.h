#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "base/OptionMap.h"
#include "document/InputProblem.h"
#include "document/TextDocument.h"
#include "folders/FolderListing.h"

namespace tandemix {

enum class InputKind { Missing, File, Folder };

// What a path names, following links; a folder path may end in separators.
InputKind KindOfPath(const std::string& path);

// Both inputs exist and are of one kind; when not, the user is told which input is missing,
// with what was given and why it is not there, or that the kinds differ. Web pages that
// could not be fetched reach this without paths and are named by their `addresses`.
std::optional<InputKind> KindOfInputs(const std::array<std::string, 2>& paths,
                                      MessageSink& messages,
                                      const std::array<std::string, 2>* addresses = nullptr);

// Whether an input can be loaded, found without reading it: a file must be a regular file
// within the limits that can be opened, a folder one that can be opened. Nothing is read,
// so a pipe cannot stop the run.
InputProblem CheckInput(const std::string& path, InputKind kind, const DocumentLimits& limits);

// The bytes loading a file input takes at least: its size; 0 for a folder.
std::uint64_t InputSize(const std::string& path, InputKind kind);

// The message for an input that cannot be compared. `input` names it ("Datei 2"), `shown`
// is the path or address the user gave.
std::string ProblemMessage(const InputProblem& problem, std::string_view input,
                           std::string_view shown, const DocumentLimits& limits);

// Loads the two inputs of one kind, files or folders, into the two documents, within the
// documents' limits. The second is loaded on a helper thread when one can be had; debug
// lines still come in input order. Returns what each folder listing left out (nothing for
// files). When asked for, the sizes of the listed files go to `sizes`.
std::array<FolderListingResult, 2> LoadInputs(const std::array<std::string, 2>& paths,
                                              InputKind kind, const OptionMap& options,
                                              std::array<TextDocument, 2>& inputs, DebugLog& log,
                                              FolderComparison folders = FolderComparison::ByTime,
                                              std::array<ListedSizes, 2>* sizes = nullptr,
                                              const MatchRule* prepared = nullptr);

}  // namespace tandemix
