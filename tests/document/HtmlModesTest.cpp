#include "document/HtmlModes.h"

#include <gtest/gtest.h>

namespace tandemix {
namespace {

TEST(StripTagsTest, RemovesTagsAndMarksLoneOpenings) {
    struct Row {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"no tags", "plain text", "plain text"},
        {"comment ends at first >", "<!-- x > y -->z", " y -->z"},
        {"empty tag", "<>x", "x"},
        {"changes before the stop are kept", "<i>a<" + std::string(200, '.') + "<b>",
         "a<" + std::string(200, '.') + "<b>"},
        {"> alone is text", "a>b", "a>b"},
        {"carriage returns inside a tag go", "a<x\ry>b\r", "ab\r"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(StripTags(row.text), row.expected);
    }
}

TEST(StripTagsTest, ResultMayGrowBeyondInput) {
    const std::string text(5000, '<');
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        expected += "&st;";
    }
    EXPECT_EQ(StripTags(text), expected);
}

TEST(TagFreeLinesTest, BreaksAtEveryCarriageReturnAndLineFeed) {
    EXPECT_EQ(TagFreeLines("a\rb\n  c<x>\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(TagFreeLines("\v\f x\n"), "x\r\n");
    EXPECT_EQ(TagFreeLines("\xA0x\n"), "\xA0x\r\n");
}

}  // namespace
}  // namespace tandemix
