#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tandemix {

// Row texts rarely hold a byte that must be escaped, so a search for one tests eight bytes
// at a time: HasByte and HasByteBelow are nonzero when any byte of the word is that value or
// below that bound (at most 0x80).
constexpr std::uint64_t kEveryByteOne = 0x0101010101010101ULL;
constexpr std::uint64_t kEveryByteHigh = 0x8080808080808080ULL;

constexpr std::uint64_t HasByteBelow(std::uint64_t word, unsigned char bound) {
    return (word - kEveryByteOne * bound) & ~word & kEveryByteHigh;
}

constexpr std::uint64_t HasByte(std::uint64_t word, char c) {
    return HasByteBelow(word ^ (kEveryByteOne * static_cast<unsigned char>(c)), 1);
}

// The first position at or after `from` whose byte `isWanted` accepts, or the text's size.
// `wordHasWanted` must be nonzero for every word that holds such a byte.
template <class WordTest, class ByteTest>
std::size_t FindFirstByte(std::string_view text, std::size_t from, WordTest wordHasWanted,
                          ByteTest isWanted) {
    for (; from + 8 <= text.size(); from += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + from, 8);
        if (wordHasWanted(word) != 0) {
            break;
        }
    }
    while (from < text.size() && !isWanted(static_cast<unsigned char>(text[from]))) {
        ++from;
    }
    return from;
}

// A display name as page text: it may hold any bytes, but never becomes markup.
inline std::string EscapedName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        switch (c) {
            case '&':
                out.append("&amp;");
                break;
            case '<':
                out.append("&lt;");
                break;
            case '>':
                out.append("&gt;");
                break;
            case '"':
                out.append("&quot;");
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace tandemix
