#include "diff/MyersSearch.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <optional>
#include <vector>

namespace tandemix {
namespace {

// A rectangle of the edit graph: lines [x0, x1) of the first sequence against [y0, y1) of
// the second. Diagonal k holds the points with x - y = k.
struct Range {
    LineIndex x0 = 0;
    LineIndex x1 = 0;
    LineIndex y0 = 0;
    LineIndex y1 = 0;
};

struct Split {
    LineIndex x = 0;
    LineIndex y = 0;
    bool atCutoff = false;
};

// The furthest point reached on each diagonal, stored around the middle diagonal of one
// search: forward the greatest x, backward the least.
class Diagonals {
public:
    Diagonals(std::vector<LineIndex>& store, LineIndex middle, LineIndex reach)
        : base_(store.data()), offset_(reach - middle) {}
    LineIndex& operator[](LineIndex k) const { return base_[k + offset_]; }

private:
    LineIndex* base_;
    LineIndex offset_;
};

// The diagonals a search step looks at, every second one from low to high.
struct Band {
    LineIndex low = 0;
    LineIndex high = 0;

    bool Holds(LineIndex k) const { return k >= low && k <= high; }

    // One diagonal more on each side while the range has one, else one fewer; the
    // diagonal just outside is marked unreached so that it never wins.
    void Widen(LineIndex dmin, LineIndex dmax, const Diagonals& reached, LineIndex unreached) {
        if (low > dmin) {
            reached[--low - 1] = unreached;
        } else {
            ++low;
        }
        if (high < dmax) {
            reached[++high + 1] = unreached;
        } else {
            --high;
        }
    }
};

// Paths that consume fewer lines than this per edit step (both sides counted) cross a
// region that differs throughout: a lot more search would buy little there.
constexpr LineIndex kDenseProgress = 8;

constexpr LineIndex kForwardUnreached = -1;
constexpr LineIndex kBackwardUnreached = std::numeric_limits<LineIndex>::max();

class Search {
public:
    Search(const std::array<std::span<const LineClass>, kInputCount>& sequences,
           const SearchLimits& limits,
           const std::array<std::span<std::uint8_t>, kInputCount>& changed)
        : a_(sequences[Input1]),
          b_(sequences[Input2]),
          changedA_(changed[Input1]),
          changedB_(changed[Input2]),
          cutoff_(std::max<LineIndex>(limits.costCutoff, 1)),
          denseCutoff_(std::max<LineIndex>(limits.denseCutoff, 1)) {
        const auto total = static_cast<LineIndex>(a_.size() + b_.size());
        // A search step c touches the diagonals within c + 1 of its middle one.
        reach_ = std::min(cutoff_, total) + 2;
        forward_.assign(static_cast<std::size_t>(2 * reach_ + 1), kForwardUnreached);
        backward_.assign(static_cast<std::size_t>(2 * reach_ + 1), kBackwardUnreached);
    }

    LineIndex Run() {
        std::fill(changedA_.begin(), changedA_.end(), 1);
        std::fill(changedB_.begin(), changedB_.end(), 1);
        // A work list instead of recursion: splits taken at the cutoff can be lopsided and
        // nest deeply.
        std::vector<Range> pending = {
            Range{0, static_cast<LineIndex>(a_.size()), 0, static_cast<LineIndex>(b_.size())}};
        while (!pending.empty()) {
            Range range = pending.back();
            pending.pop_back();
            TrimCommonEnds(range);
            if (range.x0 == range.x1 || range.y0 == range.y1) {
                continue;  // what is left is deleted or added, as marked
            }
            const Split split = MiddleSnake(range);
            cutoffSplits_ += split.atCutoff ? 1 : 0;
            pending.push_back(Range{split.x, range.x1, split.y, range.y1});
            pending.push_back(Range{range.x0, split.x, range.y0, split.y});
        }
        return cutoffSplits_;
    }

private:
    void Keep(LineIndex x, LineIndex y) {
        changedA_[static_cast<std::size_t>(x)] = 0;
        changedB_[static_cast<std::size_t>(y)] = 0;
    }
    bool Same(LineIndex x, LineIndex y) const {
        return a_[static_cast<std::size_t>(x)] == b_[static_cast<std::size_t>(y)];
    }

    void TrimCommonEnds(Range& r) {
        for (; r.x0 < r.x1 && r.y0 < r.y1 && Same(r.x0, r.y0); ++r.x0, ++r.y0) {
            Keep(r.x0, r.y0);
        }
        for (; r.x0 < r.x1 && r.y0 < r.y1 && Same(r.x1 - 1, r.y1 - 1); --r.x1, --r.y1) {
            Keep(r.x1 - 1, r.y1 - 1);
        }
    }

    // Searches from both corners at once, one edit step at a time, until a forward path and
    // a backward path meet on a diagonal: the last snake of the path that arrived then lies
    // on a shortest path, and its end splits the range. The ends of the range differ after
    // trimming, so every split lies strictly inside it.
    Split MiddleSnake(const Range& r) {
        // Locals, so that the stores into the diagonals cannot alias what the loops read.
        const LineClass* const a = a_.data();
        const LineClass* const b = b_.data();
        const LineIndex dmin = r.x0 - r.y1;
        const LineIndex dmax = r.x1 - r.y0;
        const LineIndex fmid = r.x0 - r.y0;
        const LineIndex bmid = r.x1 - r.y1;
        const Diagonals forward(forward_, fmid, reach_);
        const Diagonals backward(backward_, bmid, reach_);
        // With an odd distance between the middle diagonals the paths meet on a forward
        // step, with an even one on a backward step.
        const bool odd = ((fmid - bmid) & 1) != 0;
        Band f{fmid, fmid};
        Band bk{bmid, bmid};
        forward[fmid] = r.x0;
        backward[bmid] = r.x1;
        LineIndex nextDenseCheck = denseCutoff_;
        for (LineIndex c = 1;; ++c) {
            if (c + 1 > reach_) {
                // Not expected: past the cutoff some point inside the range is always
                // found. Splitting off the first line keeps the alignment valid anyway.
                return Split{r.x0 + 1, r.y0, true};
            }
            f.Widen(dmin, dmax, forward, kForwardUnreached);
            for (LineIndex k = f.high; k >= f.low; k -= 2) {
                const LineIndex fromLeft = forward[k - 1];
                const LineIndex fromAbove = forward[k + 1];
                LineIndex x = fromLeft >= fromAbove ? fromLeft + 1 : fromAbove;
                LineIndex y = x - k;
                for (; x < r.x1 && y < r.y1 && a[x] == b[y]; ++x, ++y) {
                }
                forward[k] = x;
                if (odd && bk.Holds(k) && backward[k] <= x) {
                    return Split{x, y, false};
                }
            }
            bk.Widen(dmin, dmax, backward, kBackwardUnreached);
            for (LineIndex k = bk.high; k >= bk.low; k -= 2) {
                const LineIndex fromLeft = backward[k - 1];
                const LineIndex fromAbove = backward[k + 1];
                LineIndex x = fromLeft < fromAbove ? fromLeft : fromAbove - 1;
                LineIndex y = x - k;
                for (; x > r.x0 && y > r.y0 && a[x - 1] == b[y - 1]; --x, --y) {
                }
                backward[k] = x;
                if (!odd && f.Holds(k) && x <= forward[k]) {
                    return Split{x, y, false};
                }
            }
            const bool dense = c == nextDenseCheck;
            if (dense) {
                nextDenseCheck *= 2;
            }
            if (c >= cutoff_ || dense) {
                const Furthest furthest = FurthestPoint(r, f, forward, bk, backward);
                const bool slow = furthest.progress < kDenseProgress * c;
                if (furthest.split && (c >= cutoff_ || slow)) {
                    return *furthest.split;
                }
            }
        }
    }

    struct Furthest {
        std::optional<Split> split;
        LineIndex progress = 0;  // lines of both sides consumed from its corner
    };

    // The point inside the range that a forward or backward path of the current cost c got
    // furthest with, counted in lines consumed from its corner. Splitting there solves the
    // explored corner exactly, at cost at most c. A shortest path of the range crosses the
    // point's antidiagonal within c + (its own cost there) diagonals of it, so the other
    // part costs at most c more than the range's shortest script: 2c in all.
    static Furthest FurthestPoint(const Range& r, const Band& f, const Diagonals& forward,
                                  const Band& bk, const Diagonals& backward) {
        Furthest best;
        const auto consider = [&](LineIndex x, LineIndex k, LineIndex progress) {
            const LineIndex y = x - k;
            const bool inside = x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1;
            const bool corner = (x == r.x0 && y == r.y0) || (x == r.x1 && y == r.y1);
            if (inside && !corner && progress > best.progress) {
                best = Furthest{Split{x, y, true}, progress};
            }
        };
        for (LineIndex k = f.high; k >= f.low; k -= 2) {
            consider(forward[k], k, 2 * forward[k] - k - (r.x0 + r.y0));
        }
        for (LineIndex k = bk.high; k >= bk.low; k -= 2) {
            consider(backward[k], k, (r.x1 + r.y1) - (2 * backward[k] - k));
        }
        return best;
    }

    std::span<const LineClass> a_;
    std::span<const LineClass> b_;
    std::span<std::uint8_t> changedA_;
    std::span<std::uint8_t> changedB_;
    LineIndex cutoff_ = 1;
    LineIndex denseCutoff_ = 1;
    LineIndex reach_ = 0;
    std::vector<LineIndex> forward_;
    std::vector<LineIndex> backward_;
    LineIndex cutoffSplits_ = 0;
};

}  // namespace

LineIndex MarkShortestEdit(const std::array<std::span<const LineClass>, kInputCount>& sequences,
                           const SearchLimits& limits,
                           const std::array<std::span<std::uint8_t>, kInputCount>& changed) {
    assert(changed[Input1].size() == sequences[Input1].size());
    assert(changed[Input2].size() == sequences[Input2].size());
    return Search(sequences, limits, changed).Run();
}

}  // namespace tandemix
