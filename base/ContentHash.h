#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tandemix {

// A 64-bit fingerprint of a byte stream, fed in pieces of any size. Made to notice changed
// contents quickly, not to resist someone who forges collisions on purpose. The value
// depends only on the bytes, not on how they were split or on the machine.
class ContentHash {
public:
    void Update(std::span<const std::byte> bytes);
    std::uint64_t Finish() const;

    static constexpr std::size_t kBlockSize = 32;

private:
    using Lanes = std::array<std::uint64_t, 4>;
    static void MixBlocks(Lanes& lanes, const std::byte* blocks, std::size_t count);

    // Four independent lanes let the processor work on four words at once.
    Lanes lanes_ = {0x243F6A8885A308D3, 0x13198A2E03707344, 0xA4093822299F31D0, 0x082EFA98EC4E6C89};
    std::array<std::byte, kBlockSize> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

// The value as 16 lower-case hexadecimal digits.
std::string HexDigits(std::uint64_t value);

}  // namespace tandemix
