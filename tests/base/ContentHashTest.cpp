#include "base/ContentHash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tandemix {
namespace {

std::uint64_t HashInPieces(const std::string& bytes, std::size_t piece) {
    ContentHash hash;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::string_view part = std::string_view(bytes).substr(at, piece);
        hash.Update(std::as_bytes(std::span(part.data(), part.size())));
    }
    return hash.Finish();
}

std::string Pattern(std::size_t length) {
    std::string bytes(length, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

TEST(ContentHashTest, ValueDoesNotDependOnHowTheBytesAreFed) {
    for (const std::size_t length : {0u, 1u, 31u, 32u, 33u, 100u, 1000u}) {
        const std::string bytes = Pattern(length);
        const std::uint64_t whole = HashInPieces(bytes, std::max<std::size_t>(length, 1));
        for (const std::size_t piece : {1u, 7u, 31u, 32u, 33u}) {
            EXPECT_EQ(HashInPieces(bytes, piece), whole) << length << " in pieces of " << piece;
        }
    }
}

TEST(ContentHashTest, EveryBitAndEveryLengthCounts) {
    std::set<std::uint64_t> seen;
    const std::string original = Pattern(100);
    std::size_t variants = 0;
    for (std::size_t bit = 0; bit < original.size() * 8; ++bit, ++variants) {
        std::string changed = original;
        changed[bit / 8] = static_cast<char>(changed[bit / 8] ^ (1 << (bit % 8)));
        seen.insert(HashInPieces(changed, 64));
    }
    // Zero bytes at the end are told apart from the padding of a shorter input.
    for (std::size_t zeros = 0; zeros <= 70; ++zeros, ++variants) {
        seen.insert(HashInPieces(std::string(zeros, '\0'), 64));
    }
    seen.insert(HashInPieces(original, 64));
    EXPECT_EQ(seen.size(), variants + 1);
}

TEST(ContentHashTest, HexDigitsAreSixteenLowerCaseDigits) {
    EXPECT_EQ(HexDigits(0), "0000000000000000");
    EXPECT_EQ(HexDigits(0x0123456789ABCDEF), "0123456789abcdef");
}

}  // namespace
}  // namespace tandemix
