#include "base/ComparisonOptions.h"

#include <algorithm>

#include "base/AsciiCase.h"

namespace tandemix {
namespace {

bool IsYesInAnyCase(std::string_view value) {
    constexpr std::string_view kYes = "yes";
    return std::equal(value.begin(), value.end(), kYes.begin(), kYes.end(),
                      [](char a, char b) { return AsciiLower(a) == b; });
}

// A matching rule is off for "yes" and for an empty value alone.
bool KeepsAsStored(std::string_view value) {
    return value.empty() || value == "yes";
}

std::string_view YesNo(bool on) {
    return on ? "yes" : "no";
}

}  // namespace

ComparisonOptions ComparisonOptions::FromOptionMap(const OptionMap& options) {
    ComparisonOptions parsed;
    parsed.caseSensitive = KeepsAsStored(options.Get(OptionMap::kCase));
    parsed.indent = KeepsAsStored(options.Get(OptionMap::kIndent));
    parsed.breakAfterEachTag = IsYesInAnyCase(options.Get(OptionMap::kLineBreakAfterEachTag));
    parsed.deleteAllTags = IsYesInAnyCase(options.Get(OptionMap::kDeleteAllTags));
    parsed.keepEmptyLines = IsYesInAnyCase(options.Get(OptionMap::kShowEmptyLines));
    parsed.ignoreSpaceChange = IsYesInAnyCase(options.Get(OptionMap::kIgnoreSpaceChange));
    parsed.ignoreAllSpace = IsYesInAnyCase(options.Get(OptionMap::kIgnoreAllSpace));
    parsed.ignoredText = options.GetAll(OptionMap::kIgnoreText);
    parsed.ignoredLines = options.GetAll(OptionMap::kIgnoreLines);
    return parsed;
}

OptionMap BuildOptionMap(const ComparisonOptions& options) {
    OptionMap map;
    map.Set(OptionMap::kCase, YesNo(options.caseSensitive));
    map.Set(OptionMap::kIndent, YesNo(options.indent));
    map.Set(OptionMap::kLineBreakAfterEachTag, YesNo(options.breakAfterEachTag));
    map.Set(OptionMap::kDeleteAllTags, YesNo(options.deleteAllTags));
    map.Set(OptionMap::kShowEmptyLines, YesNo(options.keepEmptyLines));
    if (options.ignoreSpaceChange) {
        map.Set(OptionMap::kIgnoreSpaceChange, "yes");
    }
    if (options.ignoreAllSpace) {
        map.Set(OptionMap::kIgnoreAllSpace, "yes");
    }
    for (const std::string& pattern : options.ignoredText) {
        map.Append(std::string(OptionMap::kIgnoreText) + ";" + pattern);
    }
    for (const std::string& pattern : options.ignoredLines) {
        map.Append(std::string(OptionMap::kIgnoreLines) + ";" + pattern);
    }
    return map;
}

}  // namespace tandemix
