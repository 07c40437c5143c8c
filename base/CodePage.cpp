#include "base/CodePage.h"

#include "base/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace tandemix {
namespace {

// ---- Locale names ----

std::string NormalizedCodeset(std::string_view localeName) {
    const auto dot = localeName.find('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    std::string_view codeset = localeName.substr(dot + 1);
    codeset = codeset.substr(0, codeset.find('@'));
    std::string normalized;
    for (const char c : codeset) {
        // Spellings differ between systems only in case and separators.
        if (c == '-' || c == '_') {
            continue;
        }
        normalized.push_back(AsciiLower(c));
    }
    return normalized;
}

// ---- Byte tables for the 8-bit code pages ----

using ByteTable = std::array<unsigned char, 256>;

constexpr ByteTable MakeAsciiTable() {
    ByteTable table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = AsciiLower(static_cast<unsigned char>(i));
    }
    return table;
}

constexpr ByteTable MakeWindows1252Table() {
    ByteTable table = MakeAsciiTable();
    for (int i = 0xC0; i <= 0xDE; ++i) {
        // 0xD7 is the multiplication sign, not a letter.
        if (i != 0xD7) {
            table[i] = static_cast<unsigned char>(i + 0x20);
        }
    }
    table[0x8A] = 0x9A;  // S with caron
    table[0x8C] = 0x9C;  // ligature OE
    table[0x8E] = 0x9E;  // Z with caron
    table[0x9F] = 0xFF;  // Y with diaeresis
    return table;
}

constexpr ByteTable kAsciiTable = MakeAsciiTable();
constexpr ByteTable kWindows1252Table = MakeWindows1252Table();

void AppendWithTable(std::string_view text, const ByteTable& table, std::string& out) {
    const std::size_t start = out.size();
    out.append(text);
    for (auto it = out.begin() + static_cast<std::ptrdiff_t>(start); it != out.end(); ++it) {
        *it = static_cast<char>(table[static_cast<unsigned char>(*it)]);
    }
}

// ---- Unicode ----

struct LowerCaseRange {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint32_t stride;
};

constexpr LowerCaseRange kLowerCaseRanges[] = {
#include "base/UnicodeLowerCase.inc"
};

char32_t UnicodeLower(char32_t codePoint) {
    // The last range whose first code point is not above codePoint is the only candidate.
    const auto next = std::upper_bound(
        std::begin(kLowerCaseRanges), std::end(kLowerCaseRanges), codePoint,
        [](char32_t value, const LowerCaseRange& range) { return value < range.first; });
    if (next == std::begin(kLowerCaseRanges)) {
        return codePoint;
    }
    const LowerCaseRange& range = *(next - 1);
    if (codePoint > range.last || (codePoint - range.first) % range.stride != 0) {
        return codePoint;
    }
    return static_cast<char32_t>(static_cast<std::int32_t>(codePoint) + range.delta);
}

// Decodes one well-formed character at the start of bytes; returns its length, or 0 when the
// first byte does not begin one (overlong, surrogate, above U+10FFFF, truncated).
std::size_t DecodeUtf8(const unsigned char* bytes, std::size_t available, char32_t& codePoint) {
    const unsigned char lead = bytes[0];
    std::size_t length = 0;
    // Bounds for the second byte exclude overlongs, surrogates and values above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (bytes[i] & 0x3Fu);
    }
    return length;
}

void AppendUtf8(char32_t codePoint, std::string& out) {
    char buffer[4];
    std::size_t length = 0;
    if (codePoint < 0x80) {
        buffer[length++] = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        buffer[length++] = static_cast<char>(0xC0 | (codePoint >> 6));
        buffer[length++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        buffer[length++] = static_cast<char>(0xE0 | (codePoint >> 12));
        buffer[length++] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        buffer[length++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        buffer[length++] = static_cast<char>(0xF0 | (codePoint >> 18));
        buffer[length++] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        buffer[length++] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        buffer[length++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    out.append(buffer, length);
}

// Length of the leading run of ASCII bytes, checked eight bytes at a time.
std::size_t AsciiPrefixLength(const unsigned char* bytes, std::size_t size) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word & kHighBits) != 0) {
            break;
        }
    }
    while (i < size && bytes[i] < 0x80) {
        ++i;
    }
    return i;
}

void AppendUtf8Lower(std::string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const std::size_t asciiLength = AsciiPrefixLength(bytes + i, size - i);
        if (asciiLength > 0) {
            AppendWithTable(text.substr(i, asciiLength), kAsciiTable, out);
            i += asciiLength;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(bytes + i, size - i, codePoint);
        if (length == 0) {
            // Not text we understand: keep the byte and try again at the next one.
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const char32_t lower = UnicodeLower(codePoint);
        if (lower == codePoint) {
            out.append(text.substr(i, length));
        } else {
            AppendUtf8(lower, out);
        }
        i += length;
    }
}

}  // namespace

CodePage CodePageFromLocaleName(std::string_view localeName) {
    const std::string codeset = NormalizedCodeset(localeName);
    if (codeset == "utf8") {
        return CodePage::Utf8;
    }
    // Latin-1 and Latin-9 share their accented capitals 0xC0-0xDE with Windows-1252.
    constexpr std::string_view kWestern[] = {"cp1252", "windows1252", "iso88591", "iso885915",
                                             "latin1"};
    if (std::find(std::begin(kWestern), std::end(kWestern), codeset) != std::end(kWestern)) {
        return CodePage::Windows1252;
    }
    return CodePage::None;
}

CodePage CodePageFromLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return CodePageFromLocaleName(value);
        }
    }
    return CodePage::None;
}

void AppendLowerCase(std::string_view text, CodePage codePage, std::string& out) {
    switch (codePage) {
        case CodePage::Utf8:
            AppendUtf8Lower(text, out);
            return;
        case CodePage::Windows1252:
            AppendWithTable(text, kWindows1252Table, out);
            return;
        case CodePage::None:
            break;
    }
    AppendWithTable(text, kAsciiTable, out);
}

bool IsWellFormedUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t at = 0;
    while (at < text.size()) {
        // Most text is ASCII: whole words of it are passed at once.
        if (at + 8 <= text.size()) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                at += 8;
                continue;
            }
        }
        if (bytes[at] < 0x80) {
            ++at;
            continue;
        }
        char32_t ignored = 0;
        const std::size_t length = DecodeUtf8(bytes + at, text.size() - at, ignored);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace tandemix
