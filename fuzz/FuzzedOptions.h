#pragma once

#include <cstdint>

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
    if (!bit(7)) {
        fuzzed.options = BuildOptionMap(chosen);
        return fuzzed;
    }
    const OptionMap built = BuildOptionMap(chosen);
    for (const std::string& entry : built.Entries()) {
        const auto value = entry.find(";yes");
        fuzzed.options.Append(value == std::string::npos ? entry : entry.substr(0, value) + ";Yes");
    }
    return fuzzed;
}

}  // namespace tandemix::fuzz
