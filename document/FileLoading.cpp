#include "base/ComparisonOptions.h"
#include "document/HtmlModes.h"
#include "document/LineReader.h"
#include "document/TextDocument.h"

namespace tandemix {

bool TextDocument::LoadFile(const std::string& path, const OptionMap& options, DebugLog& log,
                            const MatchRule* prepared) {
    if (path.empty()) {
        log.Write("error : empty input filename\r\n");
        return false;
    }
    return LoadRead(path, ReadFileBytes(path, limits_.mostBytes), options, log, prepared);
}

bool TextDocument::LoadRead(const std::string& path, const FileRead& read, const OptionMap& options,
                            DebugLog& log, const MatchRule* prepared) {
    SetName(path);
    AddOptions(options, prepared);
    if (read.problem) {
        problem_ = read.problem;
        log.Write("error : cannot open " + path + "\r\n");
        return false;
    }
    const ComparisonOptions mode = ComparisonOptions::FromOptionMap(options);
    // Lines are read where they lie: the file's bytes, or the tag-free text, are held whole
    // and each line is its place in them.
    FileBytes text = *read.file;
    if (mode.deleteAllTags) {
        auto lines =
            std::make_shared<const std::string>(TagFreeLines(TextBeforeEndMark(text.bytes)));
        text = FileBytes{lines, *lines};
    } else {
        text.bytes = TextBeforeEndMark(text.bytes);
    }
    const auto base = lines_->text.Hold(text.owner, text.bytes, limits_.mostBytes);
    if (!base) {
        problem_ = InputProblem{InputProblemKind::TooLarge};
        return false;
    }
    const auto lineCount = static_cast<LineIndex>(CountLineFeeds(text.bytes) + 1);
    ReserveLines(GetLineCount() + lineCount);
    hashes_.reserve(hashes_.size() + static_cast<std::size_t>(lineCount));
    const char* const start = text.bytes.data();
    std::string scratch;
    const auto add = [&](std::string_view line, SourceLine sourceLine) {
        const LineSpan span{static_cast<TextStorage::Offset>(*base + (line.data() - start)),
                            static_cast<std::uint32_t>(line.size())};
        if (AddStoredLine(span, sourceLine, LineMark::MarkUnchanged)) {
            hashes_.push_back(HashOfLastLine(line, scratch));
        }
        return !problem_;
    };

    if (mode.deleteAllTags) {
        std::string_view rest = text.bytes;
        SourceLine sourceLine = 0;
        // Every line ends with the only "\r\n" it holds.
        for (auto end = rest.find('\n'); end != std::string_view::npos && !problem_;
             end = rest.find('\n')) {
            add(rest.substr(0, end + 1), ++sourceLine);
            rest.remove_prefix(end + 1);
        }
        return !problem_;
    }
    // Every line read counts, also one that is dropped.
    SourceLine sourceLine = 0;
    const auto addUnlessDropped = [&](std::string_view line) {
        ++sourceLine;
        if (mode.keepEmptyLines || !line.empty()) {
            add(line, sourceLine);
        }
    };
    if (mode.breakAfterEachTag) {
        ForEachLine(text.bytes, [&](std::string_view line) {
            if (CountTagEnds(line) < 2) {
                addUnlessDropped(line);
            } else {
                ++sourceLine;
                ForEachPieceAfterTags(line,
                                      [&](std::string_view piece) { add(piece, sourceLine); });
            }
        });
    } else {
        ForEachLine(text.bytes, addUnlessDropped);
    }
    return !problem_;
}

}  // namespace tandemix
