#include "document/HtmlModes.h"

#include "document/LineReader.h"

namespace tandemix {
namespace {

constexpr std::size_t kLongestTag = 200;
constexpr std::size_t kWorkingReserve = 1000;
constexpr std::string_view kLoneOpening = "&st;";

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string StripTags(std::string_view text) {
    std::string result;
    result.reserve(text.size() + kWorkingReserve);
    std::size_t next = 0;
    while (next < text.size()) {
        const std::size_t open = text.find('<', next);
        if (open == std::string_view::npos) {
            break;
        }
        result.append(text.substr(next, open - next));
        std::size_t offset = 1;
        for (; offset < kLongestTag; ++offset) {
            const std::size_t at = open + offset;
            if (at == text.size() || text[at] == '<') {
                result.append(kLoneOpening);
                next = open + 1;
                break;
            }
            if (text[at] == '>') {
                next = at + 1;
                break;
            }
        }
        if (offset == kLongestTag) {
            next = open;
            break;
        }
    }
    result.append(text.substr(std::min(next, text.size())));
    return result;
}

std::string TagFreeLines(std::string_view fileText) {
    std::string joined;
    joined.reserve(fileText.size() + 1);
    ForEachLine(fileText, [&](std::string_view line) {
        if (!line.empty()) {
            joined.append(line).push_back('\r');
        }
    });
    const std::string stripped = StripTags(joined);
    joined = std::string();

    std::string lines;
    lines.reserve(stripped.size() + stripped.size() / 8);
    std::size_t start = 0;
    for (std::size_t at = 0; at < stripped.size(); ++at) {
        if (stripped[at] != '\r' && stripped[at] != '\n') {
            continue;
        }
        while (start < at && IsWhiteSpace(stripped[start])) {
            ++start;
        }
        if (start < at) {
            lines.append(stripped, start, at - start).append("\r\n");
        }
        start = at + 1;
    }
    return lines;
}

}  // namespace tandemix
