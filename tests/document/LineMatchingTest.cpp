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

TEST(MatchRuleTest, OptionsTurnLinesIntoMatchingTexts) {
    struct Row {
        const char* name;
        const char* caseValue;  // nullptr: key missing
        const char* indentValue;
        std::string text;
        std::string expected;
        CodePage codePage = CodePage::Windows1252;
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
        {"no code page folds only A-Z", "no", nullptr, "\xC4X", "\xC4x", CodePage::None},
        {"UTF-8 folds its capitals", "no", nullptr, "\xC3\x84X", "\xC3\xA4x", CodePage::Utf8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const MatchRule rule =
            MatchRule::FromOptions(Options(row.caseValue, row.indentValue), row.codePage);
        std::string scratch;
        EXPECT_EQ(rule.Apply(row.text, scratch), row.expected);
    }
}

}  // namespace
}  // namespace tandemix
