// Prints how fast ContentHash digests bytes that are already in memory, next to copying the
// same bytes, which is about what reading them from the page cache costs.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/ContentHash.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kChunk = 128 * 1024;
constexpr std::size_t kTotal = std::size_t{1} << 30;

double GigabytesPerSecond(Clock::time_point start) {
    return static_cast<double>(kTotal) / 1e9 /
           std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    std::vector<std::byte> source(kChunk);
    std::vector<std::byte> target(kChunk);
    for (std::size_t i = 0; i < kChunk; ++i) {
        source[i] = static_cast<std::byte>(i * 131 + (i >> 9));
    }

    Clock::time_point start = Clock::now();
    tandemix::ContentHash hash;
    for (std::size_t done = 0; done < kTotal; done += kChunk) {
        hash.Update(source);
    }
    const std::uint64_t value = hash.Finish();
    const double hashRate = GigabytesPerSecond(start);

    start = Clock::now();
    for (std::size_t done = 0; done < kTotal; done += kChunk) {
        std::memcpy(target.data(), source.data(), kChunk);
        // Keeps the copy from being optimised away.
        asm volatile("" : : "r"(target.data()) : "memory");
    }
    const double copyRate = GigabytesPerSecond(start);
    std::printf("hash_gbps=%.2f copy_gbps=%.2f value=%s\n", hashRate, copyRate,
                tandemix::HexDigits(value).c_str());
    return 0;
}
