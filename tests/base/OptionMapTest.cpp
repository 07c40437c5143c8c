#include "base/ComparisonOptions.h"
#include "base/OptionMap.h"

#include <gtest/gtest.h>

namespace tandemix {
namespace {

using Entries = std::vector<std::string>;

OptionMap MapOf(const Entries& entries) {
    OptionMap map;
    for (const auto& entry : entries) {
        map.Append(entry);
    }
    return map;
}

TEST(OptionMapTest, SetKeepsPositionAndEntryKeyText) {
    struct Row {
        const char* name;
        Entries before;
        const char* key;
        const char* value;
        Entries after;
    };
    const Row rows[] = {
        {"replaces value in place",
         {"case;no", "indent;no"},
         "case",
         "yes",
         {"case;yes", "indent;no"}},
        {"appends a missing key", {"case;no"}, "indent", "no", {"case;no", "indent;no"}},
        {"longer stored key keeps its text", {"cases;x"}, "case", "yes", {"cases;yes"}},
        {"entry without separator gains one", {"case"}, "case", "no", {"case;no"}},
        {"empty entry is passed over", {"", "case;no"}, "case", "yes", {"", "case;yes"}},
        {"first of two matching entries", {"case;a", "case;b"}, "case", "c", {"case;c", "case;b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OptionMap map = MapOf(row.before);
        map.Set(row.key, row.value);
        EXPECT_EQ(map.Entries(), row.after);
    }
}

TEST(OptionMapTest, GetFindsFirstEntryByPrefix) {
    struct Row {
        const char* name;
        Entries entries;
        const char* key;
        const char* expected;
    };
    const Row rows[] = {
        {"empty map", {}, "case", ""},
        {"no entry begins with key", {"indent;no"}, "case", ""},
        {"value after first separator", {"case;no;more"}, "case", "no;more"},
        {"entry without separator", {"case"}, "case", ""},
        {"prefix of a longer key", {"caseless;yes"}, "case", "yes"},
        {"key not at position 0", {"xcase;no"}, "case", ""},
        {"empty value", {"case;"}, "case", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MapOf(row.entries).Get(row.key), row.expected);
    }
}

TEST(OptionMapTest, CopyToAppendsWithoutMerging) {
    OptionMap source = MapOf({"case;no", "indent;yes"});
    OptionMap destination = MapOf({"case;yes"});
    source.CopyTo(destination);
    EXPECT_EQ(destination.Entries(), (Entries{"case;yes", "case;no", "indent;yes"}));
    source.CopyTo(source);
    EXPECT_EQ(source.Entries().size(), 4u);
}

ComparisonOptions Five(bool caseSensitive, bool indent, bool breakAfterEachTag, bool deleteAllTags,
                       bool keepEmptyLines) {
    ComparisonOptions options;
    options.caseSensitive = caseSensitive;
    options.indent = indent;
    options.breakAfterEachTag = breakAfterEachTag;
    options.deleteAllTags = deleteAllTags;
    options.keepEmptyLines = keepEmptyLines;
    return options;
}

// The loaders take "yes" in any case; the matching rules leave lines alone only for exactly
// "yes" or nothing, so "Yes" switches them on.
TEST(ComparisonOptionsTest, EachKeyIsReadByItsOwnRule) {
    struct Row {
        const char* name;
        Entries entries;
        ComparisonOptions expected;
    };
    const Row rows[] = {
        {"empty map", {}, Five(true, true, false, false, false)},
        {"all no",
         {"case;no", "indent;no", "LineBrakeAfterEachTag;no", "DeleteAllTags;no",
          "ShowEmptyLines;no"},
         Five(false, false, false, false, false)},
        {"loader yes in capitals",
         {"LineBrakeAfterEachTag;YES", "DeleteAllTags;Yes", "ShowEmptyLines;yEs"},
         Five(true, true, true, true, true)},
        {"matching Yes is on", {"case;Yes", "indent;YES"}, Five(false, false, false, false, false)},
        {"matching empty is off", {"case;", "indent"}, Five(true, true, false, false, false)},
        {"rules beyond the five",
         {"IgnoreSpaceChange;Yes", "IgnoreText;[0-9]+", "IgnoreLines;^#", "IgnoreText;a;b"},
         [] {
             ComparisonOptions rules;
             rules.ignoreSpaceChange = true;
             rules.ignoredText = {"[0-9]+", "a;b"};
             rules.ignoredLines = {"^#"};
             return rules;
         }()},
        {"near misses",
         {"ShowEmptyLines;yess", "DeleteAllTags;ye"},
         Five(true, true, false, false, false)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ComparisonOptions::FromOptionMap(MapOf(row.entries)), row.expected);
    }
}

// The five keys in order, then the rules that are on, each pattern an entry of its own.
TEST(ComparisonOptionsTest, RulesFollowTheFiveKeysOnlyWhenOn) {
    ComparisonOptions options = Five(false, true, false, true, false);
    options.ignoreAllSpace = true;
    options.ignoredText = {"id=\\w+", "[0-9]{2}:[0-9]{2}"};
    options.ignoredLines = {"^#"};
    const OptionMap map = BuildOptionMap(options);
    EXPECT_EQ(map.Entries(),
              (Entries{"case;no", "indent;yes", "LineBrakeAfterEachTag;no", "DeleteAllTags;yes",
                       "ShowEmptyLines;no", "IgnoreAllSpace;yes", "IgnoreText;id=\\w+",
                       "IgnoreText;[0-9]{2}:[0-9]{2}", "IgnoreLines;^#"}));
    EXPECT_EQ(ComparisonOptions::FromOptionMap(map), options);
}

}  // namespace
}  // namespace tandemix
