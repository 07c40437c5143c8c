#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/TextDocument.h"

namespace tandemix {

// The two inputs of an alignment; per-side state is a std::array indexed by these.
enum InputSide : std::size_t { Input1 = 0, Input2 = 1 };
inline constexpr std::size_t kInputCount = 2;

// A line reduced to an integer: two lines share a class exactly when they match.
using LineClass = std::uint32_t;

// Every line of both inputs as its class, so that the search compares integers only.
struct LineClasses {
    std::array<std::vector<LineClass>, kInputCount> ofLine;
    // Per class, bit 1 << side is set when the class occurs in that input.
    std::vector<std::uint8_t> sidesOf;

    bool OccursIn(LineClass lineClass, InputSide side) const {
        return (sidesOf[lineClass] >> side & 1) != 0;
    }
};

// Gives lines the same class exactly when the documents' own matching rule calls them
// equal: equal line hashes and equal matching texts, each side under its own options. A
// line without a line hash matches nothing and gets a class of its own.
LineClasses ClassifyLines(const TextDocument& input1, const TextDocument& input2);

}  // namespace tandemix
