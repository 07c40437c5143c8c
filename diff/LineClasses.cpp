#include "diff/LineClasses.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>

namespace tandemix {
namespace {

// The line hash spreads its bits poorly; a multiply takes its well-mixed high bits.
std::size_t SlotOf(std::int32_t hash, int bits) {
    const std::uint64_t mixed = static_cast<std::uint32_t>(hash) * 0x9E3779B97F4A7C15ULL;
    return static_cast<std::size_t>(mixed >> (64 - bits));
}

// Open addressing on the line hash. Lines whose hashes are equal are told apart by the
// documents themselves (LineMatches against the first line of each class), so the classes
// follow the matching rule exactly, whatever it is.
class ClassTable {
public:
    explicit ClassTable(const std::array<const TextDocument*, kInputCount>& inputs)
        : inputs_(inputs) {
        const LineIndex longer =
            std::max(inputs[Input1]->GetLineCount(), inputs[Input2]->GetLineCount());
        Resize(
            static_cast<int>(std::bit_width(static_cast<std::size_t>(longer + longer / 2 + 16))));
    }

    LineClass ClassOf(InputSide side, LineIndex line, std::int32_t hash) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = SlotOf(hash, bits_);; slot = (slot + 1) & mask) {
            Slot& candidate = slots_[slot];
            if (candidate.classPlusOne == 0) {
                return Add(candidate, side, line, hash);
            }
            if (candidate.hash == hash && Matches(side, line, candidate.classPlusOne - 1)) {
                return candidate.classPlusOne - 1;
            }
        }
    }

    // A class for a line that matches nothing, not even itself.
    LineClass Unmatched() { return NewClass(Input1, -1); }

    // Asks the memory for the slot of a later line early, to hide the miss.
    void Prefetch(std::int32_t hash) const { __builtin_prefetch(&slots_[SlotOf(hash, bits_)]); }

    std::size_t ClassCount() const { return representatives_.size(); }

private:
    struct Slot {
        std::int32_t hash = 0;
        LineClass classPlusOne = 0;  // 0 for an empty slot
    };
    struct Representative {
        InputSide side = Input1;
        LineIndex line = 0;
    };

    bool Matches(InputSide side, LineIndex line, LineClass lineClass) const {
        const Representative& first = representatives_[lineClass];
        return first.line >= 0 &&
               inputs_[side]->LineMatches(line, *inputs_[first.side], first.line);
    }

    LineClass NewClass(InputSide side, LineIndex line) {
        if (representatives_.size() >= std::numeric_limits<LineClass>::max()) {
            throw std::length_error("too many distinct lines");
        }
        representatives_.push_back(Representative{side, line});
        hashes_.push_back(0);
        return static_cast<LineClass>(representatives_.size() - 1);
    }

    LineClass Add(Slot& slot, InputSide side, LineIndex line, std::int32_t hash) {
        const LineClass lineClass = NewClass(side, line);
        hashes_[lineClass] = hash;
        slot = Slot{hash, lineClass + 1};
        if (++used_ * 2 > slots_.size()) {
            Resize(bits_ + 1);
        }
        return lineClass;
    }

    void Resize(int bits) {
        bits_ = bits;
        slots_.assign(std::size_t{1} << bits, Slot{});
        const std::size_t mask = slots_.size() - 1;
        for (LineClass c = 0; c < representatives_.size(); ++c) {
            if (representatives_[c].line < 0) {
                continue;
            }
            std::size_t slot = SlotOf(hashes_[c], bits_);
            while (slots_[slot].classPlusOne != 0) {
                slot = (slot + 1) & mask;
            }
            slots_[slot] = Slot{hashes_[c], c + 1};
        }
    }

    std::array<const TextDocument*, kInputCount> inputs_;
    std::vector<Slot> slots_;
    int bits_ = 0;
    std::size_t used_ = 0;
    std::vector<Representative> representatives_;
    std::vector<std::int32_t> hashes_;
};

}  // namespace

LineClasses ClassifyLines(const TextDocument& input1, const TextDocument& input2) {
    const std::array<const TextDocument*, kInputCount> inputs = {&input1, &input2};
    ClassTable table(inputs);
    LineClasses classes;
    constexpr LineIndex kPrefetchDistance = 16;
    for (const InputSide side : {Input1, Input2}) {
        const TextDocument& input = *inputs[side];
        const std::vector<std::int32_t>& hashes = input.GetLineHashes();
        const LineIndex count = input.GetLineCount();
        const LineIndex hashed = std::min(count, static_cast<LineIndex>(hashes.size()));
        std::vector<LineClass>& ofLine = classes.ofLine[side];
        ofLine.resize(static_cast<std::size_t>(count));
        for (LineIndex line = 0; line < count; ++line) {
            if (line + kPrefetchDistance < hashed) {
                table.Prefetch(hashes[static_cast<std::size_t>(line + kPrefetchDistance)]);
            }
            ofLine[static_cast<std::size_t>(line)] =
                line < hashed ? table.ClassOf(side, line, hashes[static_cast<std::size_t>(line)])
                              : table.Unmatched();
        }
    }
    classes.sidesOf.assign(table.ClassCount(), 0);
    for (const InputSide side : {Input1, Input2}) {
        for (const LineClass lineClass : classes.ofLine[side]) {
            classes.sidesOf[lineClass] |= static_cast<std::uint8_t>(1U << side);
        }
    }
    return classes;
}

}  // namespace tandemix
