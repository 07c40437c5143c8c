// Loads arbitrary bytes as a file, under the options and code page that the first byte
// chooses (FuzzedOptions.h), and checks the document against the literal loading and the
// rules every loaded document keeps.

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

// The bytes in an anonymous in-memory file, reachable by a path while this lives.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes) : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
        Check(fd_ >= 0, "memfd_create");
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            Check(written > 0, "write to the memory file");
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_ = -1;
};

// h = 3h + c over the signed bytes, with 32-bit wrap-around, one byte at a time.
std::int32_t LiteralLineHash(std::string_view text) {
    std::uint32_t hash = 0;
    for (const char c : text) {
        hash = 3 * hash + static_cast<std::uint32_t>(static_cast<std::int32_t>(c));
    }
    return static_cast<std::int32_t>(hash);
}

void CheckHashes(const TextDocument& document, const FuzzedOptions& fuzzed) {
    Check(document.GetLineHashes().size() == static_cast<std::size_t>(document.GetLineCount()),
          "one line hash per line");
    const MatchRule rule = MatchRule::FromOptions(fuzzed.options, fuzzed.codePage);
    std::string scratch;
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        const std::string matchText = document.GetMatchText(i);
        Check(matchText == rule.Apply(document.GetLineText(i), scratch),
              "matching text is the normalised line");
        // A small letter has no other small form, and leading blanks are gone already.
        Check(rule.Apply(matchText, scratch) == matchText,
              "normalising a matching text again changes nothing");
        const std::int32_t hash = document.GetLineHashes()[static_cast<std::size_t>(i)];
        Check(hash == ComputeLineHash(matchText), "line hash of the matching text");
        Check(hash == LiteralLineHash(matchText), "line hash by the literal formula");
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
    if (size == 0) {
        return 0;
    }
    const FuzzedOptions fuzzed = OptionsFromByte(data[0]);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const MemoryFile file(bytes);
    SilentDebugLog log;
    TextDocument document(fuzzed.codePage);
    Check(document.LoadFile(file.Path(), fuzzed.options, log), "a readable file loads");

    const ComparisonOptions read = ComparisonOptions::FromOptionMap(fuzzed.options);
    CheckHashes(document, fuzzed);
    CheckLineEnds(document, read);
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
