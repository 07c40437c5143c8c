#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/LineIndex.h"

namespace tandemix {

using SourceLine = std::uint32_t;

// The number each line has in its file, kept as runs: lines that follow each other in the
// file, or pieces of one line, cost nothing beyond their run. A file with dropped empty
// lines has a run per gap, a line broken into pieces one per line.
class SourceLines {
public:
    // Line `index`, the next one, has the number `line`.
    void Add(LineIndex index, SourceLine line) {
        if (!runs_.empty()) {
            Run& last = runs_.back();
            const auto length = static_cast<SourceLine>(index - last.first);
            if (length == 1 && (line == last.line || line == last.line + 1)) {
                last.step = line - last.line;
                return;
            }
            if (line == last.line + last.step * length) {
                return;
            }
        }
        runs_.push_back(Run{static_cast<std::uint32_t>(index), line, 1});
    }

    SourceLine At(LineIndex index) const {
        const auto after = std::upper_bound(
            runs_.begin(), runs_.end(), index,
            [](LineIndex value, const Run& run) { return value < LineIndex{run.first}; });
        if (after == runs_.begin()) {
            return 0;
        }
        const Run& run = *(after - 1);
        return run.line + run.step * static_cast<SourceLine>(index - run.first);
    }

    std::size_t MemoryUse() const { return runs_.capacity() * sizeof(Run); }

private:
    struct Run {
        std::uint32_t first = 0;  // index of its first line
        SourceLine line = 0;      // number of that line
        SourceLine step = 1;      // 1 for consecutive lines, 0 for pieces of one line
    };
    std::vector<Run> runs_;
};

}  // namespace tandemix
