#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ByteSink.h"

namespace tandemix {

// Gathers the many small pieces of a page into large writes, so that a page of a million
// rows costs the sink a few hundred calls rather than millions.
class ChunkedOutput {
public:
    explicit ChunkedOutput(ByteSink& sink) : sink_(sink) { buffer_.reserve(kChunkSize); }
    ~ChunkedOutput() { Flush(); }
    ChunkedOutput(const ChunkedOutput&) = delete;
    ChunkedOutput& operator=(const ChunkedOutput&) = delete;

    void Append(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kChunkSize) {
            Flush();
            // A long text, such as the page's script, still goes out in pieces no larger
            // than the buffer's.
            while (bytes.size() >= kChunkSize) {
                sink_.Append(bytes.substr(0, kChunkSize));
                bytes.remove_prefix(kChunkSize);
            }
        }
        buffer_.append(bytes);
    }
    void Append(char byte) {
        if (buffer_.size() >= kChunkSize) {
            Flush();
        }
        buffer_.push_back(byte);
    }
    void Flush() {
        if (!buffer_.empty()) {
            sink_.Append(buffer_);
            buffer_.clear();
        }
    }

private:
    static constexpr std::size_t kChunkSize = kPagePieceSize;

    ByteSink& sink_;
    std::string buffer_;
};

}  // namespace tandemix
