#pragma once

#include "base/OptionMap.h"

namespace tandemix {

// The five options of an OptionMap as booleans, read once where they are used. The map stays
// the form that travels through a run; this is how its readers understand it.
struct ComparisonOptions {
    bool caseSensitive = true;       // "case"
    bool indent = true;              // "indent": leading blanks count
    bool breakAfterEachTag = false;  // "LineBrakeAfterEachTag"
    bool deleteAllTags = false;      // "DeleteAllTags"
    bool keepEmptyLines = false;     // "ShowEmptyLines"

    // The loader keys count as set when their value is "yes" in any letter case. The
    // matching keys leave lines alone only for exactly "yes" or no value at all, so that
    // any other value, "Yes" included, switches their rule on: the two readers have always
    // differed there, and stored option maps rely on it.
    static ComparisonOptions FromOptionMap(const OptionMap& options);

    bool operator==(const ComparisonOptions&) const = default;
};

// The five keys in their fixed order, each "yes" or "no".
OptionMap BuildOptionMap(const ComparisonOptions& options);

}  // namespace tandemix
