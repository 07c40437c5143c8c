#include "diff/HunkPairing.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>

namespace tandemix {
namespace {

// Only this much of a line counts towards its likeness.
constexpr std::size_t kMaxWeighedBytes = 256;
// Likeness in percent below which two lines count as unrelated: pairing them is no better
// than pairing by position.
constexpr int kMinLikeness = 50;

// The pairs of adjacent bytes of a line without its surrounding blanks, sorted: lines that
// share most of them read alike, wherever the edits fall.
std::vector<std::uint16_t> Bigrams(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    text = text.substr(0, kMaxWeighedBytes);
    std::vector<std::uint16_t> bigrams;
    for (std::size_t at = 1; at < text.size(); ++at) {
        bigrams.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(text[at - 1]) << 8 |
                                                     static_cast<unsigned char>(text[at])));
    }
    std::sort(bigrams.begin(), bigrams.end());
    return bigrams;
}

// The share of bigrams two lines have in common (Dice's coefficient), in percent, or 0 when
// that is below kMinLikeness.
int Likeness(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b) {
    if (a.empty() || b.empty()) {
        return 0;
    }
    std::size_t common = 0;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] < b[j]) {
            ++i;
        } else if (b[j] < a[i]) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    const auto percent = static_cast<int>(200 * common / (a.size() + b.size()));
    return percent >= kMinLikeness ? percent : 0;
}

}  // namespace

std::vector<std::size_t> PairHunkLines(std::span<const std::string> shorter,
                                       std::span<const std::string> longer) {
    const std::size_t s = shorter.size();
    const std::size_t l = longer.size();
    std::vector<std::size_t> partners(s);
    std::iota(partners.begin(), partners.end(), std::size_t{0});
    if (s == 0 || s == l || s > l || s * l > kMaxWeighedPairs) {
        return partners;
    }
    std::vector<std::vector<std::uint16_t>> bigrams1(s);
    std::vector<std::vector<std::uint16_t>> bigrams2(l);
    std::transform(shorter.begin(), shorter.end(), bigrams1.begin(), Bigrams);
    std::transform(longer.begin(), longer.end(), bigrams2.begin(), Bigrams);

    // best[i][j]: the greatest total likeness of the first i lines of `shorter` paired in
    // order with lines among the first j of `longer` (i <= j).
    std::vector<std::vector<int>> best(s + 1, std::vector<int>(l + 1, 0));
    for (std::size_t i = 1; i <= s; ++i) {
        for (std::size_t j = i; j <= l; ++j) {
            const int paired = best[i - 1][j - 1] + Likeness(bigrams1[i - 1], bigrams2[j - 1]);
            best[i][j] = j > i ? std::max(best[i][j - 1], paired) : paired;
        }
    }
    // From the end, a line of `longer` stays unpaired whenever that loses nothing, so that
    // without any likeness the pairs come first, by position.
    for (std::size_t i = s, j = l; i > 0; --j) {
        if (j > i && best[i][j] == best[i][j - 1]) {
            continue;
        }
        partners[--i] = j - 1;
    }
    return partners;
}

}  // namespace tandemix
