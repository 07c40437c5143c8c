#pragma once

#include <array>
#include <cstddef>

namespace tandemix {

// One of the two things compared. Data kept for each side is a std::array<…, 2> indexed by
// Index(side), so that code written once serves both.
enum class Side { One, Two };

inline constexpr std::array<Side, 2> kBothSides{Side::One, Side::Two};

constexpr std::size_t Index(Side side) {
    return side == Side::One ? 0 : 1;
}

// How messages number a side: 1 or 2.
constexpr int Number(Side side) {
    return side == Side::One ? 1 : 2;
}

constexpr Side Other(Side side) {
    return side == Side::One ? Side::Two : Side::One;
}

}  // namespace tandemix
