#include "base/CodePage.h"

#include <gtest/gtest.h>

#include "support/ScopedEnvironment.h"

namespace tandemix {
namespace {

struct LocaleCase {
    const char* name;
    const char* locale;
    CodePage expected;
};

constexpr LocaleCase kLocaleCases[] = {
    {"utf8 with dash", "de_DE.UTF-8", CodePage::Utf8},
    {"utf8 lower, no dash", "en_US.utf8", CodePage::Utf8},
    {"utf8 with modifier", "sr_RS.UTF-8@latin", CodePage::Utf8},
    {"C", "C", CodePage::None},
    {"POSIX", "POSIX", CodePage::None},
    {"empty", "", CodePage::None},
    {"cp1252", "de_DE.CP1252", CodePage::Windows1252},
    {"windows-1252", "de_DE.Windows-1252", CodePage::Windows1252},
    {"iso-8859-1", "de_DE.ISO-8859-1", CodePage::Windows1252},
    {"iso8859-1", "de_DE.iso88591", CodePage::Windows1252},
    {"iso-8859-15 euro", "de_DE.ISO-8859-15@euro", CodePage::Windows1252},
    {"latin1", "fr_FR.latin1", CodePage::Windows1252},
    {"modifier without codeset", "de_DE@euro", CodePage::None},
    {"other codeset", "ja_JP.EUC-JP", CodePage::None},
    {"utf8 prefix only", "en_US.UTF-16", CodePage::None},
};

TEST(CodePageTest, FromLocaleName) {
    for (const LocaleCase& row : kLocaleCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CodePageFromLocaleName(row.locale), row.expected);
    }
}

TEST(CodePageTest, FromLocaleTakesFirstNonEmptyVariable) {
    testing::ScopedEnvironment environment;
    environment.Set("LC_ALL", "");
    environment.Set("LC_CTYPE", "de_DE.CP1252");
    environment.Set("LANG", "en_US.UTF-8");
    EXPECT_EQ(CodePageFromLocale(), CodePage::Windows1252);
    environment.Set("LC_ALL", "C");
    EXPECT_EQ(CodePageFromLocale(), CodePage::None);
    environment.Set("LC_ALL", nullptr);
    environment.Set("LC_CTYPE", nullptr);
    EXPECT_EQ(CodePageFromLocale(), CodePage::Utf8);
    environment.Set("LANG", nullptr);
    EXPECT_EQ(CodePageFromLocale(), CodePage::None);
}

struct LowerCase {
    const char* name;
    CodePage codePage;
    std::string_view input;
    std::string_view expected;
};

constexpr LowerCase kLowerCases[] = {
    {"none: only A-Z", CodePage::None, "\xC4PFEL \x8A\xDE", "\xC4pfel \x8A\xDE"},
    {"1252: Latin-1 capitals", CodePage::Windows1252, "\xC4PFEL \xC0\xDE", "\xE4pfel \xE0\xFE"},
    {"1252: times and sharp s stay", CodePage::Windows1252, "\xD7\xDF\xE4", "\xD7\xDF\xE4"},
    {"1252: capitals below 0xA0", CodePage::Windows1252, "\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"},
    {"utf8: ascii", CodePage::Utf8, "Hello, WORLD [@Z]", "hello, world [@z]"},
    {"utf8: umlauts", CodePage::Utf8, "ÄÖÜ äöü ß", "äöü äöü ß"},
    {"utf8: greek", CodePage::Utf8, "ΑΒΓ ΣΩ", "αβγ σω"},
    {"utf8: cyrillic", CodePage::Utf8, "ПРИВЕТ, Ёж", "привет, ёж"},
    {"utf8: alternating run", CodePage::Utf8, "ĀāĂ", "āāă"},
    {"utf8: 2 to 3 bytes", CodePage::Utf8, "\xC8\xBA", "\xE2\xB1\xA5"},
    {"utf8: capital sharp s", CodePage::Utf8, "\xE1\xBA\x9E", "ß"},
    {"utf8: dotted capital I", CodePage::Utf8, "İ", "i"},
    {"utf8: kelvin sign", CodePage::Utf8, "\xE2\x84\xAA", "k"},
    {"utf8: 4 bytes", CodePage::Utf8, "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},
    {"utf8: stray continuation", CodePage::Utf8, "A\x80Z", "a\x80z"},
    {"utf8: truncated at end", CodePage::Utf8, "X\xC3", "x\xC3"},
    {"utf8: truncated before char", CodePage::Utf8, "\xE2\x84Q\xC3\xC3\x84",
     "\xE2\x84q\xC3\xC3\xA4"},
    {"utf8: overlong", CodePage::Utf8, "\xC0\x80Z", "\xC0\x80z"},
    {"utf8: encoded surrogate", CodePage::Utf8, "\xED\xA0\x80Z", "\xED\xA0\x80z"},
    {"utf8: lead above F4", CodePage::Utf8, "\xF5\x80\x80\x80", "\xF5\x80\x80\x80"},
    {"utf8: above 10FFFF", CodePage::Utf8, "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
    {"utf8: mix", CodePage::Utf8, "LONG ASCII PREFIX Größe \xFF ΩMEGA İ\x80Ä",
     "long ascii prefix größe \xFF ωmega i\x80ä"},
};

TEST(CodePageTest, LowerCase) {
    for (const LowerCase& row : kLowerCases) {
        SCOPED_TRACE(row.name);
        std::string lower;
        AppendLowerCase(row.input, row.codePage, lower);
        EXPECT_EQ(lower, row.expected);
    }
}

}  // namespace
}  // namespace tandemix
