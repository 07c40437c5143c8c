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

// The loaders take "yes" in any case; the matching rules leave lines alone only for exactly
// "yes" or nothing, so "Yes" switches them on.
TEST(ComparisonOptionsTest, EachKeyIsReadByItsOwnRule) {
    struct Row {
        const char* name;
        Entries entries;
        ComparisonOptions expected;
    };
    const Row rows[] = {
        {"empty map", {}, {true, true, false, false, false}},
        {"all no",
         {"case;no", "indent;no", "LineBrakeAfterEachTag;no", "DeleteAllTags;no",
          "ShowEmptyLines;no"},
         {false, false, false, false, false}},
        {"loader yes in capitals",
         {"LineBrakeAfterEachTag;YES", "DeleteAllTags;Yes", "ShowEmptyLines;yEs"},
         {true, true, true, true, true}},
        {"matching Yes is on", {"case;Yes", "indent;YES"}, {false, false, false, false, false}},
        {"matching empty is off", {"case;", "indent"}, {true, true, false, false, false}},
        {"near misses",
         {"ShowEmptyLines;yess", "DeleteAllTags;ye"},
         {true, true, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ComparisonOptions::FromOptionMap(MapOf(row.entries)), row.expected);
    }
}

TEST(ComparisonOptionsTest, BuildsFiveKeysInOrderAndReadsThemBack) {
    const ComparisonOptions options{false, true, false, true, false};
    const OptionMap map = BuildOptionMap(options);
    EXPECT_EQ(map.Entries(), (Entries{"case;no", "indent;yes", "LineBrakeAfterEachTag;no",
                                      "DeleteAllTags;yes", "ShowEmptyLines;no"}));
    EXPECT_EQ(ComparisonOptions::FromOptionMap(map), options);
}

}  // namespace
}  // namespace tandemix
