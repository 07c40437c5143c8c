#pragma once

// The forward pass written as literally as it can be, with a linear search: the indexed
// engine must agree with it row for row.

#include <string>
#include <vector>

#include "document/LineMark.h"
#include "document/TextDocument.h"

namespace tandemix::testing {

struct Row {
    std::string text;
    std::int32_t mark = 0;
    bool operator==(const Row&) const = default;
};

struct Alignment {
    std::vector<Row> side1;
    std::vector<Row> side2;
    bool operator==(const Alignment&) const = default;
};

inline bool LiteralFindLine(const TextDocument& self, LineIndex x, const TextDocument& other,
                            LineIndex& position) {
    const auto& hashes = self.GetLineHashes();
    if (hashes.empty() || x >= self.GetLineCount()) {
        return false;
    }
    const std::int32_t hash = hashes[static_cast<std::size_t>(x)];
    const auto& otherHashes = other.GetLineHashes();
    if (otherHashes.empty()) {
        return false;
    }
    for (LineIndex p = position; p < other.GetLineCount(); ++p) {
        if (otherHashes[static_cast<std::size_t>(p)] == hash &&
            self.GetMatchText(x) == other.GetMatchText(p)) {
            position = p;
            return true;
        }
    }
    return false;
}

inline Alignment LiteralAlignment(const TextDocument& in1, const TextDocument& in2) {
    Alignment out;
    const auto emit = [&](LineIndex x, int a, LineIndex y, int b) {
        out.side1.push_back({x < 0 ? "" : std::string(in1.GetLineText(x)), a});
        out.side2.push_back({y < 0 ? "" : std::string(in2.GetLineText(y)), b});
    };
    const LineIndex P = in1.GetLineCount();
    const LineIndex Q = in2.GetLineCount();
    LineIndex i = 0;
    LineIndex j = 0;
    while (i < P) {
        if (j >= Q) {
            for (LineIndex x = i; x < P; ++x)
                emit(x, 3, -1, 0);
            break;
        }
        LineIndex k = j;
        if (LiteralFindLine(in1, i, in2, k)) {
            if (k == j) {
                emit(i, 0, j, 0);
                ++i;
                ++j;
                continue;
            }
            LineIndex m = i;
            if (LiteralFindLine(in2, j, in1, m) && m < k) {
                for (LineIndex x = i; x < m; ++x)
                    emit(x, 3, -1, 0);
                i = m;
            } else {
                for (LineIndex y = j; y < k; ++y)
                    emit(-1, 0, y, 2);
                emit(i, 0, k, 0);
                j = k + 1;
                ++i;
            }
            continue;
        }
        LineIndex m = i;
        if (LiteralFindLine(in2, j, in1, m)) {
            for (LineIndex x = i; x < m; ++x)
                emit(x, 3, -1, 0);
            i = m;
        } else {
            emit(i, 1, j, 1);
            ++i;
            ++j;
        }
    }
    for (LineIndex y = j; y < Q; ++y)
        emit(-1, 0, y, 2);
    return out;
}

inline Alignment RowsOf(const TextDocument& result1, const TextDocument& result2) {
    Alignment out;
    for (LineIndex r = 0; r < result1.GetLineCount(); ++r) {
        out.side1.push_back(
            {std::string(result1.GetLineText(r)), static_cast<std::int32_t>(result1.GetMark(r))});
    }
    for (LineIndex r = 0; r < result2.GetLineCount(); ++r) {
        out.side2.push_back(
            {std::string(result2.GetLineText(r)), static_cast<std::int32_t>(result2.GetMark(r))});
    }
    return out;
}

}  // namespace tandemix::testing
