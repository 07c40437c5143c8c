#include "base/ContentHash.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tandemix {
namespace {

constexpr std::uint64_t kRoundFactor = 0x9E3779B97F4A7C15;
constexpr std::uint64_t kWordFactor = 0xD6E8FEB86659FD93;

std::uint64_t LoadWord(const std::byte* bytes) {
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, bytes, sizeof word);
    } else {
        for (int i = 7; i >= 0; --i) {
            word = word << 8 | std::to_integer<std::uint64_t>(bytes[i]);
        }
    }
    return word;
}

// The word is multiplied first, so each of its bits reaches the bits above it; the lane
// is then rotated and multiplied, so those differences spread over the whole lane before
// the next word comes. For a given word each step is a bijection of the lane, so a changed
// word always changes the lane.
std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
    return std::rotl(lane ^ (word * kWordFactor), 27) * kRoundFactor;
}

// Spreads every input bit over every output bit.
std::uint64_t Avalanche(std::uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9;
    value ^= value >> 27;
    value *= 0x94D049BB133111EB;
    return value ^ (value >> 31);
}

}  // namespace

void ContentHash::MixBlocks(Lanes& lanes, const std::byte* blocks, std::size_t count) {
    // Locals, so that the lanes stay in registers although the bytes may alias anything.
    std::uint64_t a = lanes[0];
    std::uint64_t b = lanes[1];
    std::uint64_t c = lanes[2];
    std::uint64_t d = lanes[3];
    for (std::size_t i = 0; i < count; ++i, blocks += kBlockSize) {
        a = Round(a, LoadWord(blocks));
        b = Round(b, LoadWord(blocks + 8));
        c = Round(c, LoadWord(blocks + 16));
        d = Round(d, LoadWord(blocks + 24));
    }
    lanes = {a, b, c, d};
}

void ContentHash::Update(std::span<const std::byte> bytes) {
    length_ += bytes.size();
    if (pendingSize_ > 0) {
        const std::size_t taken = std::min(kBlockSize - pendingSize_, bytes.size());
        std::memcpy(pending_.data() + pendingSize_, bytes.data(), taken);
        pendingSize_ += taken;
        bytes = bytes.subspan(taken);
        if (pendingSize_ < kBlockSize) {
            return;
        }
        MixBlocks(lanes_, pending_.data(), 1);
        pendingSize_ = 0;
    }
    const std::size_t blocks = bytes.size() / kBlockSize;
    MixBlocks(lanes_, bytes.data(), blocks);
    bytes = bytes.subspan(blocks * kBlockSize);
    std::memcpy(pending_.data(), bytes.data(), bytes.size());
    pendingSize_ = bytes.size();
}

std::uint64_t ContentHash::Finish() const {
    Lanes lanes = lanes_;
    if (pendingSize_ > 0) {
        // Zero padding is told apart from real zero bytes by the length below.
        std::array<std::byte, kBlockSize> last{};
        std::memcpy(last.data(), pending_.data(), pendingSize_);
        MixBlocks(lanes, last.data(), 1);
    }
    std::uint64_t value = Avalanche(length_ ^ kRoundFactor);
    for (const std::uint64_t lane : lanes) {
        value = std::rotl((value ^ Avalanche(lane)) * kRoundFactor, 31);
    }
    return Avalanche(value);
}

std::string HexDigits(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (auto it = text.rbegin(); it != text.rend(); ++it, value >>= 4) {
        *it = kDigits[value & 0xF];
    }
    return text;
}

}  // namespace tandemix
