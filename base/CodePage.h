#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// The 8-bit code page that decides which bytes are capital letters. Texts are never
// converted; only the lower-case mapping of line matching depends on it.
enum class CodePage {
    None,         // only A to Z are letters with a case
    Windows1252,  // A to Z and the Latin-1 capitals
    Utf8,         // Unicode simple lower-case mapping of well-formed characters
};

// The code page of the process locale (LC_ALL, then LC_CTYPE, then LANG). Front ends call
// this once and hand the value to the engine.
CodePage CodePageFromLocale();
CodePage CodePageFromLocaleName(std::string_view localeName);

// Appends the text to out with every capital letter replaced by its small form.
void AppendLowerCase(std::string_view text, CodePage codePage, std::string& out);

// Whether every byte belongs to a well-formed UTF-8 character (ASCII included).
bool IsWellFormedUtf8(std::string_view text);

}  // namespace tandemix
