#include "document/TextStorage.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace tandemix {
namespace {

constexpr std::size_t kLargestArenaBlock = std::size_t{16} << 20;

}  // namespace

std::string_view TextStorage::Store(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (Holds(text)) {
        return text;
    }
    char* destination = Reserve(text.size());
    std::memcpy(destination, text.data(), text.size());
    return {destination, text.size()};
}

void TextStorage::Hold(std::shared_ptr<const void> owner, std::string_view bytes) {
    blocks_.push_back(Block{std::move(owner), bytes.data(), bytes.data() + bytes.size()});
}

void TextStorage::ShareBlocksOf(const TextStorage& other) {
    blocks_.insert(blocks_.end(), other.blocks_.begin(), other.blocks_.end());
}

bool TextStorage::Holds(std::string_view text) {
    // Pointers into unrelated allocations are ordered with std::less, which is total.
    const std::less<const char*> before;
    const auto contains = [&](const Block& block) {
        return !before(text.data(), block.begin) && !before(block.end, text.data() + text.size());
    };
    if (lastHit_ < blocks_.size() && contains(blocks_[lastHit_])) {
        return true;
    }
    for (std::size_t i = blocks_.size(); i-- > 0;) {
        if (contains(blocks_[i])) {
            lastHit_ = i;
            return true;
        }
    }
    return false;
}

char* TextStorage::Reserve(std::size_t size) {
    if (static_cast<std::size_t>(arenaEnd_ - arenaNext_) < size) {
        const std::size_t blockSize = std::max(size, nextArenaSize_);
        nextArenaSize_ = std::min(nextArenaSize_ * 2, kLargestArenaBlock);
        std::shared_ptr<char[]> block = std::make_shared_for_overwrite<char[]>(blockSize);
        arenaNext_ = block.get();
        arenaEnd_ = arenaNext_ + blockSize;
        blocks_.push_back(Block{block, arenaNext_, arenaEnd_});
    }
    char* result = arenaNext_;
    arenaNext_ += size;
    return result;
}

}  // namespace tandemix
