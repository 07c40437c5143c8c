#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tandemix {

// Hunks with more line pairs than this are paired by position without weighing: hunks of
// unequal sides are mostly a few lines each.
inline constexpr std::size_t kMaxWeighedPairs = 4096;

// Which lines of a hunk stand side by side as changed pairs. Every line of the shorter side
// gets one partner on the longer side, in order, so the pairs cross nothing. Lines pair
// with the partners they resemble most when a similar partner stands elsewhere than at
// their own position; otherwise, or in hunks too large to weigh cheaply, the first lines
// pair off by position.
//
// Returns, for each line of `shorter`, the index of its partner in `longer`, ascending.
std::vector<std::size_t> PairHunkLines(std::span<const std::string> shorter,
                                       std::span<const std::string> longer);

}  // namespace tandemix
