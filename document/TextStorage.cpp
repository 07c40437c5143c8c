#include "document/TextStorage.h"

#include <algorithm>
#include <cstring>

namespace tandemix {
namespace {

constexpr std::size_t kLargestBlock = std::size_t{16} << 20;

}  // namespace

std::optional<TextStorage::Offset> TextStorage::Hold(std::shared_ptr<const void> owner,
                                                     std::string_view bytes,
                                                     std::uint64_t mostBytes) {
    if (size_ + bytes.size() > std::min(mostBytes, kMostBytes)) {
        return std::nullopt;
    }
    const auto offset = static_cast<Offset>(size_);
    AddRegion(Region{size_, bytes.size(), bytes.data(), std::move(owner)});
    openBlock_ = nullptr;
    return offset;
}

std::optional<TextStorage::Offset> TextStorage::Store(std::string_view text,
                                                      std::uint64_t mostBytes) {
    if (size_ + text.size() > std::min(mostBytes, kMostBytes)) {
        return std::nullopt;
    }
    if (text.empty()) {
        return static_cast<Offset>(size_);
    }
    if (openBlock_ == nullptr || openCapacity_ - regions_.back().size < text.size()) {
        const std::size_t blockSize = std::max(text.size(), nextBlockSize_);
        nextBlockSize_ = std::min(nextBlockSize_ * 2, kLargestBlock);
        std::shared_ptr<char[]> block = std::make_shared_for_overwrite<char[]>(blockSize);
        openBlock_ = block.get();
        openCapacity_ = blockSize;
        AddRegion(Region{size_, 0, openBlock_, std::move(block)});
    }
    Region& open = regions_.back();
    std::memcpy(openBlock_ + open.size, text.data(), text.size());
    const auto offset = static_cast<Offset>(size_);
    open.size += text.size();
    size_ += text.size();
    if (regions_.size() == 1) {
        firstSize_ = open.size;
    }
    return offset;
}

void TextStorage::AddRegion(Region region) {
    size_ += region.size;
    regions_.push_back(std::move(region));
    if (regions_.size() == 1) {
        firstBytes_ = regions_.front().bytes;
        firstSize_ = regions_.front().size;
    }
}

const char* TextStorage::Locate(Offset offset) const {
    // The last region that begins at or before the offset holds it; an empty text may
    // point just past the end of any region.
    const auto after = std::upper_bound(
        regions_.begin(), regions_.end(), std::uint64_t{offset},
        [](std::uint64_t value, const Region& region) { return value < region.base; });
    if (after == regions_.begin()) {
        return nullptr;
    }
    const Region& region = *(after - 1);
    return region.bytes + (offset - region.base);
}

}  // namespace tandemix
