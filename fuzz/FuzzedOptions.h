#pragma once

#include <cstdint>
#include <string>

#include "base/CodePage.h"
#include "base/ComparisonOptions.h"
#include "base/OptionMap.h"

namespace tandemix::fuzz {

// The options and code page of a fuzzed document.
struct FuzzedOptions {
    OptionMap options;
    CodePage codePage = CodePage::Windows1252;
};

// One byte chooses them: bits 0 to 4 set the five options in the order of ComparisonOptions
// (a set bit means "yes"), bits 5 and 6 the code page, and bit 7 writes every "yes" as
// "Yes", which the loader takes as set and line matching as any other value.
inline FuzzedOptions OptionsFromByte(std::uint8_t byte) {
    const auto bit = [byte](int at) { return ((byte >> at) & 1) != 0; };
    ComparisonOptions chosen;
    chosen.caseSensitive = bit(0);
    chosen.indent = bit(1);
    chosen.breakAfterEachTag = bit(2);
    chosen.deleteAllTags = bit(3);
    chosen.keepEmptyLines = bit(4);
    FuzzedOptions fuzzed;
    constexpr CodePage kCodePages[] = {CodePage::Windows1252, CodePage::Utf8, CodePage::None,
                                       CodePage::Utf8};
    fuzzed.codePage = kCodePages[(byte >> 5) & 3];
    const OptionMap built = BuildOptionMap(chosen);
    for (const std::string& entry : built.Entries()) {
        const auto value = bit(7) ? entry.find(";yes") : std::string::npos;
        fuzzed.options.Append(value == std::string::npos ? entry : entry.substr(0, value) + ";Yes");
    }
    return fuzzed;
}

// The patterns a fuzzed rule byte may switch on; each has a plain equivalent in the checks.
inline constexpr const char* kFuzzedDigits = "[0-9]+";
inline constexpr const char* kFuzzedLetter = "x";
inline constexpr const char* kFuzzedLines = "^#";

// A second byte adds the matching rules: bits 0 and 1 the blank rule (1: -b, 2: -w), bit 2
// the text pattern kFuzzedDigits, bit 3 kFuzzedLetter, bit 4 the line pattern kFuzzedLines.
inline void AddRulesFromByte(std::uint8_t byte, FuzzedOptions& fuzzed) {
    const auto bit = [byte](int at) { return ((byte >> at) & 1) != 0; };
    if ((byte & 3) == 1) {
        fuzzed.options.Set(OptionMap::kIgnoreSpaceChange, "yes");
    } else if ((byte & 3) == 2) {
        fuzzed.options.Set(OptionMap::kIgnoreAllSpace, "yes");
    }
    if (bit(2)) {
        fuzzed.options.Append(std::string(OptionMap::kIgnoreText) + ";" + kFuzzedDigits);
    }
    if (bit(3)) {
        fuzzed.options.Append(std::string(OptionMap::kIgnoreText) + ";" + kFuzzedLetter);
    }
    if (bit(4)) {
        fuzzed.options.Append(std::string(OptionMap::kIgnoreLines) + ";" + kFuzzedLines);
    }
}

}  // namespace tandemix::fuzz
