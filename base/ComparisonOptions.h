#pragma once

#include <string>
#include <vector>

#include "base/OptionMap.h"

namespace tandemix {

// The options of an OptionMap as values, read once where they are used. The map stays the
// form that travels through a run; this is how its readers understand it.
struct ComparisonOptions {
    bool caseSensitive = true;       // "case"
    bool indent = true;              // "indent": leading blanks count
    bool breakAfterEachTag = false;  // "LineBrakeAfterEachTag"
    bool deleteAllTags = false;      // "DeleteAllTags"
    bool keepEmptyLines = false;     // "ShowEmptyLines"
    // Matching rules that are off unless asked for, each switched on by "yes" in any case.
    bool ignoreSpaceChange = false;  // "IgnoreSpaceChange": a run of blanks counts as one
    bool ignoreAllSpace = false;     // "IgnoreAllSpace": blanks do not count
    // Patterns (RE2 syntax), one entry each: text that matches does not count.
    std::vector<std::string> ignoredText;  // "IgnoreText"
    // Lines in which a pattern is found are left out where all changed lines are such.
    std::vector<std::string> ignoredLines;  // "IgnoreLines"

    // The loader keys count as set when their value is "yes" in any letter case. The
    // matching keys leave lines alone only for exactly "yes" or no value at all, so that
    // any other value, "Yes" included, switches their rule on: the two readers have always
    // differed there, and stored option maps rely on it.
    static ComparisonOptions FromOptionMap(const OptionMap& options);

    bool operator==(const ComparisonOptions&) const = default;
};

// The five keys in their fixed order, each "yes" or "no"; then the rules that are switched
// on, so that a map without them reads as it always has.
OptionMap BuildOptionMap(const ComparisonOptions& options);

}  // namespace tandemix
