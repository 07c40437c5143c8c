#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tandemix {

// The bytes of one document's lines, addressed by 32-bit offsets so that a line costs
// eight bytes: an offset and a length. The address space is made of regions one after the
// other: a buffer held as it is (a file read whole, or a tag-free text), and blocks that
// texts are copied into. Bytes never move, so views stay valid as long as the storage or
// a copy of the owner lives.
class TextStorage {
public:
    using Offset = std::uint32_t;
    // Offsets and lengths are 32-bit, so the whole text stays below 4 GiB.
    static constexpr std::uint64_t kMostBytes = 0xFFFF'FFFFu;

    // Holds finished bytes, kept alive by owner; its offset, or nothing when the storage
    // would grow beyond mostBytes.
    std::optional<Offset> Hold(std::shared_ptr<const void> owner, std::string_view bytes,
                               std::uint64_t mostBytes = kMostBytes);

    // Copies the text in; its offset, or nothing when the storage would grow beyond
    // mostBytes.
    std::optional<Offset> Store(std::string_view text, std::uint64_t mostBytes = kMostBytes);

    // The text at the offset. The first region, where a loaded file lies, is found at once.
    std::string_view View(Offset offset, std::uint32_t length) const {
        if (offset < firstSize_) {
            return {firstBytes_ + offset, length};
        }
        return {Locate(offset), length};
    }

    // The bytes addressed so far.
    std::uint64_t Size() const { return size_; }

private:
    struct Region {
        std::uint64_t base = 0;
        std::size_t size = 0;  // bytes in use, which for the open block still grows
        const char* bytes = nullptr;
        std::shared_ptr<const void> owner;
    };

    const char* Locate(Offset offset) const;
    void AddRegion(Region region);

    std::vector<Region> regions_;
    std::uint64_t size_ = 0;
    const char* firstBytes_ = nullptr;
    std::size_t firstSize_ = 0;
    // The block that copied texts go to, the last region; none after a held buffer.
    char* openBlock_ = nullptr;
    std::size_t openCapacity_ = 0;
    std::size_t nextBlockSize_ = std::size_t{64} << 10;
};

}  // namespace tandemix
