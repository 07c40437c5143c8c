#include "base/ComparisonOptions.h"
#include "document/HtmlModes.h"
#include "document/LineReader.h"
#include "document/TextDocument.h"

namespace tandemix {

bool TextDocument::LoadFile(const std::string& path, const OptionMap& options, DebugLog& log) {
    if (path.empty()) {
        log.Write("error : empty input filename\r\n");
        return false;
    }
    SetName(path);
    AddOptions(options);
    const FileRead read = ReadFileBytes(path, limits_.mostBytes);
    if (read.problem) {
        problem_ = read.problem;
        log.Write("error : cannot open " + path + "\r\n");
        return false;
    }
    const FileBytes& file = *read.file;
    const std::string_view text = TextBeforeEndMark(file.bytes);
    const ComparisonOptions mode = ComparisonOptions::FromOptionMap(options);
    // Every line read counts, also one that is dropped.
    SourceLine sourceLine = 0;
    const auto addUnlessDropped = [&](std::string_view line) {
        ++sourceLine;
        if (mode.keepEmptyLines || !line.empty()) {
            AddLine(line, sourceLine);
        }
    };

    if (mode.deleteAllTags) {
        auto lines = std::make_shared<const std::string>(TagFreeLines(text));
        // Every line gains a line end, so the text can outgrow the file.
        if (lines->size() > limits_.mostBytes) {
            problem_ = InputProblem{InputProblemKind::TooLarge};
            return false;
        }
        storage_.Hold(lines, *lines);
        std::string_view rest = *lines;
        ReserveLines(static_cast<LineIndex>(CountLineFeeds(rest)));
        hashes_.reserve(texts_.capacity());
        // Every line ends with the only "\r\n" it holds.
        for (auto end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
            AddLine(rest.substr(0, end + 1));
            rest.remove_prefix(end + 1);
        }
        return !problem_;
    }

    storage_.Hold(file.owner, file.bytes);
    ReserveLines(static_cast<LineIndex>(CountLineFeeds(text) + 1));
    hashes_.reserve(texts_.capacity());
    if (mode.breakAfterEachTag) {
        ForEachLine(text, [&](std::string_view line) {
            if (CountTagEnds(line) < 2) {
                addUnlessDropped(line);
            } else {
                ++sourceLine;
                ForEachPieceAfterTags(line,
                                      [&](std::string_view piece) { AddLine(piece, sourceLine); });
            }
        });
    } else {
        ForEachLine(text, addUnlessDropped);
    }
    return !problem_;
}

}  // namespace tandemix
