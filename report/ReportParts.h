#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/CodePage.h"
#include "document/TextDocument.h"

// What both report forms share: what they show besides the rows, and the texts they word
// alike. The command line's result line is the same as the pages'.
namespace tandemix {

enum class LineNumbers { Hidden, Shown };

// What a report shows besides the rows. The pages declare the code page's character set.
struct ReportHead {
    std::array<std::string_view, 2> names;  // of the inputs, by Index(side)
    CodePage codePage = CodePage::None;
    LineNumbers lineNumbers = LineNumbers::Shown;
};

// The comment that opens every page of a report.
inline constexpr std::string_view kReportBanner =
    "<!-- Tandemix: Ergebnis eines Vergleichs -->\r\n";

// The number of differences a report states.
LineIndex DifferenceCount(const TextDocument& rows1, const TextDocument& rows2);

// "Ergebnis: Keine Unterschiede", or "Ergebnis: 3 Unterschiede" (the plural for one too).
std::string ResultLine(LineIndex differenceCount);
// Its words, for a page that puts the line together itself.
inline constexpr std::string_view kResultStart = "Ergebnis: ";
inline constexpr std::string_view kResultNone = "Keine Unterschiede";
inline constexpr std::string_view kResultCountEnd = " Unterschiede";

// How a report form marks up its legend: per row colour, boxStart, the colour's value or
// its style class, boxEnd, the legend word and wordEnd.
struct LegendMarkup {
    std::string_view boxStart;
    bool byStyleClass = false;
    std::string_view boxEnd;
    std::string_view wordEnd;
};
std::string Legend(const LegendMarkup& markup);

// A number's decimal digits, made without taking memory.
class Decimal {
public:
    explicit Decimal(std::int64_t number)
        : size_(static_cast<std::size_t>(
              std::to_chars(digits_.data(), digits_.data() + digits_.size(), number).ptr -
              digits_.data())) {}
    std::string_view Text() const { return {digits_.data(), size_}; }

private:
    std::array<char, 24> digits_{};
    std::size_t size_;
};

}  // namespace tandemix
