#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tandemix {

// Immutable bytes for line texts. Texts are appended into large blocks so that a million
// lines cost a few allocations, and whole buffers (a file read in one piece) can be held
// as they are, so that lines which are views into them need no copy. Blocks are shared
// between storages: a result list can hold the texts of its input without copying them.
class TextStorage {
public:
    // A view of the text that stays valid as long as this storage lives. Copies the text
    // unless it already lies in a block this storage holds.
    std::string_view Store(std::string_view text);

    // Holds finished bytes kept alive by owner; views into them are then stored without a
    // copy.
    void Hold(std::shared_ptr<const void> owner, std::string_view bytes);

    // Holds every block of the other storage too.
    void ShareBlocksOf(const TextStorage& other);

private:
    struct Block {
        std::shared_ptr<const void> owner;
        const char* begin = nullptr;
        const char* end = nullptr;
    };

    bool Holds(std::string_view text);
    char* Reserve(std::size_t size);

    std::vector<Block> blocks_;
    std::size_t lastHit_ = 0;
    // The block that appended texts go to; the bytes already written there never change.
    char* arenaNext_ = nullptr;
    char* arenaEnd_ = nullptr;
    std::size_t nextArenaSize_ = std::size_t{64} << 10;
};

}  // namespace tandemix
