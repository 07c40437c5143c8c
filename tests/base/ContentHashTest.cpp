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
    // Every input with one or two bits flipped, and zero bytes at the end, which must be
    // told apart from the padding of a shorter input.
    const std::string unflipped = Pattern(64);
    std::vector<std::string> inputs{unflipped};
    for (std::size_t bit = 0; bit < unflipped.size() * 8; ++bit) {
        inputs.push_back(unflipped);
        inputs.back()[bit / 8] = static_cast<char>(unflipped[bit / 8] ^ (1 << (bit % 8)));
        for (std::size_t other = bit + 1; other < unflipped.size() * 8; other += 7) {
            std::string twice = inputs.back();
            twice[other / 8] = static_cast<char>(twice[other / 8] ^ (1 << (other % 8)));
            inputs.push_back(std::move(twice));
        }
    }
    for (std::size_t zeros = 0; zeros <= 70; ++zeros) {
        inputs.emplace_back(zeros, '\0');
    }
    std::set<std::uint64_t> seen;
    for (const std::string& input : inputs) {
        seen.insert(HashInPieces(input, 64));
    }
    EXPECT_EQ(seen.size(), inputs.size());
}

}  // namespace
}  // namespace tandemix
