#include "document/LineMatching.h"

#include <gtest/gtest.h>

namespace tandemix {
namespace {

OptionMap Options(const char* caseValue, const char* indentValue) {
    OptionMap options;
    if (caseValue != nullptr) {
        options.Set(OptionMap::kCase, caseValue);
    }
    if (indentValue != nullptr) {
        options.Set(OptionMap::kIndent, indentValue);
    }
    return options;
}

TEST(NormalizeLineTest, OptionsTurnLinesIntoMatchingTexts) {
    struct Row {
        const char* name;
        const char* caseValue;  // nullptr: key missing
        const char* indentValue;
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"no options leave the line", nullptr, nullptr, "  ABC", "  ABC"},
        {"yes leaves the line", "yes", "yes", "  ABC", "  ABC"},
        {"empty value leaves the line", "", "", "  ABC", "  ABC"},
        {"indent spaces", "yes", "no", "    abc", "abc"},
        {"indent tab", "yes", "no", "\tabc", "abc"},
        {"indent mixed blanks", "yes", "no", " \t abc", "abc"},
        {"trailing blank stays", "yes", "no", "abc ", "abc "},
        {"blank line keeps blanks", "yes", "no", "   ", "   "},
        {"form feed is not indentation", "yes", "no", "\fabc", "\fabc"},
        {"case folds ASCII", "no", "yes", "ABC", "abc"},
        {"case folds umlaut in 1252", "no", "yes", "\xC4PFEL", "\xE4pfel"},
        {"sharp s stays", "no", "yes",
         "STRA\xDF"
         "E",
         "stra\xDF"
         "e"},
        {"both rules", "no", "no", "  Hello", "hello"},
        {"YES in capitals switches on", "YES", "YES", "  AB", "ab"},
        {"any other value switches on", "maybe", nullptr, "AB", "ab"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(
            NormalizeLine(row.text, Options(row.caseValue, row.indentValue), CodePage::Windows1252),
            row.expected);
    }
}

TEST(NormalizeLineTest, CodePageDecidesWhichBytesAreCapitals) {
    const OptionMap ignoreCase = Options("no", nullptr);
    EXPECT_EQ(NormalizeLine("\xC4X", ignoreCase, CodePage::None), "\xC4x");
    EXPECT_EQ(NormalizeLine("\xC4X", ignoreCase, CodePage::Windows1252), "\xE4x");
    EXPECT_EQ(NormalizeLine("\xC3\x84X", ignoreCase, CodePage::Utf8), "\xC3\xA4x");
}

TEST(NormalizeLineTest, StrasseDoesNotMatchSharpS) {
    const OptionMap ignoreCase = Options("no", nullptr);
    EXPECT_NE(NormalizeLine("STRASSE", ignoreCase, CodePage::Windows1252),
              NormalizeLine("stra\xDF"
                            "e",
                            ignoreCase, CodePage::Windows1252));
}

}  // namespace
}  // namespace tandemix
