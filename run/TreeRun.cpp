#include "run/TreeRun.h"

#include "base/Paths.h"
#include "folders/TreeComparison.h"
#include "run/InputLoading.h"

namespace tandemix {
namespace {

std::string SidePath(const std::string& top, std::string_view relative) {
    std::string path = WithoutTrailingSeparators(top);
    if (!relative.empty()) {
        path.append(path.ends_with('/') ? "" : "/").append(relative);
    }
    return path;
}

}  // namespace

std::optional<TreeComparison> CompareInputTrees(const std::string& path1, const std::string& path2,
                                                const RunChoices& choices, MessageSink& messages,
                                                BinaryCheck binaryCheck, const OptionMap& options,
                                                CodePage codePage) {
    const std::optional<InputKind> kind = KindOfInputs(path1, path2, messages);
    if (!kind) {
        return std::nullopt;
    }
    if (*kind == InputKind::Folder) {
        for (int side = 0; side < 2; ++side) {
            const std::string& path = side == 0 ? path1 : path2;
            if (const InputProblem problem = CheckInput(path, *kind, {})) {
                messages.Warn(
                    ProblemMessage(problem, "Verzeichnis " + std::to_string(side + 1), path, {}));
                return std::nullopt;
            }
        }
    }
    TreeChoices treeChoices;
    treeChoices.exclusions = choices.exclusions;
    treeChoices.binaryCheck = binaryCheck;
    treeChoices.options = options;
    treeChoices.codePage = codePage;
    return CompareTrees(path1, path2, treeChoices);
}

FileRows AlignTreeFile(const std::array<std::string, 2>& tops, const TreeEntry& entry,
                       const OptionMap& options, Alignment alignment, const RunContext& context) {
    const std::array<std::string_view, 2> relative{
        entry.path, entry.status == EntryStatus::Moved ? entry.movedTo : entry.path};
    std::array<TextDocument, 2> inputs{TextDocument(context.codePage),
                                       TextDocument(context.codePage)};
    std::array<std::string, 2> paths;
    for (std::size_t side = 0; side < 2; ++side) {
        inputs[side].SetLimits(context.limits.document);
        paths[side] = SidePath(tops[side], relative[side]);
    }
    const bool both =
        entry.sides[0].kind == EntryKind::File && entry.sides[1].kind == EntryKind::File;
    if (both) {
        LoadInputs(paths[0], paths[1], InputKind::File, options, inputs[0], inputs[1],
                   context.debugLog);
    } else {
        // The missing side is an empty input under the present side's options.
        for (std::size_t side = 0; side < 2; ++side) {
            if (entry.sides[side].kind == EntryKind::File) {
                inputs[side].LoadFile(paths[side], options, context.debugLog);
            } else {
                inputs[side].SetName(paths[side]);
                inputs[side].AddOptions(options);
            }
        }
    }
    FileRows rows{TextDocument(context.codePage), TextDocument(context.codePage), {}};
    for (std::size_t side = 0; side < 2; ++side) {
        rows.problems[side] = inputs[side].GetProblem();
    }
    if (rows.problems[0] || rows.problems[1]) {
        return rows;
    }
    ComputeDifferences(inputs[0], inputs[1], rows.rows1, rows.rows2, alignment);
    return rows;
}

}  // namespace tandemix
