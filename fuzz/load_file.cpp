// Loads arbitrary bytes as a file, under the options and code page that the first byte
// chooses and the matching rules that the second adds (FuzzedOptions.h), and checks the document
// against the literal loading and the rules every loaded document keeps.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzedOptions.h"
#include "LiteralLoading.h"
#include "base/DebugLog.h"
#include "document/LineMatching.h"
#include "document/TextDocument.h"

namespace tandemix::fuzz {
namespace {

// The parts the fuzzed text patterns match, found by hand: each run of digits, each letter x
// (X too when case does not count).
std::vector<TextSpan> LiteralIgnored(std::string_view line, const ComparisonOptions& read) {
    std::vector<TextSpan> spans;
    bool digits = false;
    bool letter = false;
    for (const std::string& pattern : read.ignoredText) {
        digits = digits || pattern == kFuzzedDigits;
        letter = letter || pattern == kFuzzedLetter;
    }
    for (std::size_t at = 0; at < line.size();) {
        std::size_t end = at;
        while (digits && end < line.size() && line[end] >= '0' && line[end] <= '9') {
            ++end;
        }
        if (end == at && letter && (line[at] == 'x' || (!read.caseSensitive && line[at] == 'X'))) {
            end = at + 1;
        }
        if (end > at) {
            spans.push_back(
                TextSpan{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(end)});
            at = end;
        } else {
            ++at;
        }
    }
    return spans;
}

// The matching text by hand where case and indent count: the ignored parts cut out, then
// blanks and tabs dropped (-w) or each run made one blank and a final run none (-b).
std::string LiteralMatchText(std::string_view line, const ComparisonOptions& read) {
    std::string cut;
    std::size_t from = 0;
    for (const TextSpan span : LiteralIgnored(line, read)) {
        cut.append(line.substr(from, span.begin - from));
        from = span.end;
    }
    cut.append(line.substr(from));
    if (!read.ignoreSpaceChange && !read.ignoreAllSpace) {
        return cut;
    }
    std::string out;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const bool blank = cut[i] == ' ' || cut[i] == '\t';
        const bool lastOfRun = i + 1 < cut.size() && cut[i + 1] != ' ' && cut[i + 1] != '\t';
        if (!blank) {
            out += cut[i];
        } else if (!read.ignoreAllSpace && lastOfRun) {
            out += ' ';
        }
    }
    return out;
}

void CheckRules(const TextDocument& document, const ComparisonOptions& read) {
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        const std::string_view text = document.GetLineText(i);
        const std::span<const TextSpan> found = document.GetIgnoredText(i);
        Check(std::vector<TextSpan>(found.begin(), found.end()) == LiteralIgnored(text, read),
              "ignored parts as found by hand");
        if (read.caseSensitive && read.indent) {
            Check(document.GetMatchText(i) == LiteralMatchText(text, read),
                  "matching text as made by hand");
        }
        const bool ignoresLine = !read.ignoredLines.empty() && text.starts_with('#');
        Check(document.GetMatchRule().IgnoresLine(text) == ignoresLine,
              "a line pattern finds exactly the lines it matches");
    }
}

void CheckHashes(const TextDocument& document, const FuzzedOptions& fuzzed) {
    Check(document.GetLineHashes().size() == static_cast<std::size_t>(document.GetLineCount()),
          "one line hash per line");
    const MatchRule rule = MatchRule::FromOptions(fuzzed.options, fuzzed.codePage);
    std::string scratch;
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        const std::string matchText = document.GetMatchText(i);
        Check(matchText == rule.Apply(document.GetLineText(i), scratch, document.GetIgnoredText(i)),
              "matching text is the normalised line");
        // A small letter has no other small form, and leading blanks are gone already.
        Check(rule.Apply(matchText, scratch) == matchText,
              "normalising a matching text again changes nothing");
        Check(document.GetLineHashes()[static_cast<std::size_t>(i)] == ComputeLineHash(matchText),
              "line hash of the matching text");
    }
}

void CheckLineEnds(const TextDocument& document, const ComparisonOptions& read) {
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        const std::string_view text = document.GetLineText(i);
        Check(text.find('\x1A') == std::string_view::npos, "no line holds the end mark");
        if (!read.deleteAllTags) {
            Check(text.find('\n') == std::string_view::npos, "no line holds a line feed");
            continue;
        }
        Check(text.size() > 2 && text.ends_with("\r\n"), "tag-free lines end with CR LF");
        Check(text.find_first_of("\r\n") == text.size() - 2, "one CR LF per tag-free line");
    }
}

}  // namespace
}  // namespace tandemix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandemix;
    using namespace tandemix::fuzz;
    if (size < 2) {
        return 0;
    }
    FuzzedOptions fuzzed = OptionsFromByte(data[0]);
    AddRulesFromByte(data[1], fuzzed);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    // The bytes in an anonymous in-memory file, loaded through its path.
    const int fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    Check(fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == std::ssize(bytes),
          "the bytes in a memory file");
    SilentDebugLog log;
    TextDocument document(fuzzed.codePage);
    const bool loaded =
        document.LoadFile("/proc/self/fd/" + std::to_string(fd), fuzzed.options, log);
    ::close(fd);
    Check(loaded, "a readable file loads");

    const ComparisonOptions read = ComparisonOptions::FromOptionMap(fuzzed.options);
    CheckHashes(document, fuzzed);
    CheckLineEnds(document, read);
    CheckRules(document, read);
    const std::vector<LiteralLine> expected = LiteralLoad(bytes, read);
    Check(static_cast<std::size_t>(document.GetLineCount()) == expected.size(),
          "as many lines as the literal loading");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto at = static_cast<LineIndex>(i);
        Check(document.GetLineText(at) == expected[i].text, "line text as loaded literally");
        Check(expected[i].sourceLine == 0 || document.GetSourceLine(at) == expected[i].sourceLine,
              "source line as loaded literally");
    }
    return 0;
}
