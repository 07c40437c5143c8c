#include "diff/MinimalAlignment.h"

#include <gtest/gtest.h>

#include "diff/AlignmentFixtures.h"
#include "diff/DifferenceEngine.h"
#include "diff/HunkRows.h"

namespace tandemix {
namespace {

using testing::Align;
using testing::CheckRowInvariants;
using testing::Describe;
using testing::Input;
using testing::Letters;
using testing::MakeRandomPair;
using testing::OptimalEditLength;
using testing::RandomPair;
using testing::RowsOf;

struct WorkedExample {
    const char* name;
    const char* input1;
    const char* input2;
    const char* greedy;
    const char* minimal;  // nullptr: the greedy pass alone
};

const WorkedExample kWorkedExamples[] = {
    {"recurring line taken far ahead", "vpqrs", "wpqrsv",
     ".0|w2; .0|p2; .0|q2; .0|r2; .0|s2; v0|v0; p3|.0; q3|.0; r3|.0; s3|.0",
     "v1|w1; p0|p0; q0|q0; r0|r0; s0|s0; .0|v2"},
    {"position tie", "aab", "baba", ".0|b2; a0|a0; a3|.0; b0|b0; .0|a2",
     "a1|b1; a0|a0; b0|b0; .0|a2"},
    {"changed line found again further on", "abXcd", "abYcdX",
     "a0|a0; b0|b0; .0|Y2; .0|c2; .0|d2; X0|X0; c3|.0; d3|.0",
     "a0|a0; b0|b0; X1|Y1; c0|c0; d0|d0; .0|X2"},
    // Where a forward pass finds the shortest script itself, both agree.
    {"block moved down", "xyABC", "ABCxy", "x3|.0; y3|.0; A0|A0; B0|B0; C0|C0; .0|x2; .0|y2",
     "x3|.0; y3|.0; A0|A0; B0|B0; C0|C0; .0|x2; .0|y2"},
    {"uneven hunk", "aXYZb", "aPb", "a0|a0; X1|P1; Y3|.0; Z3|.0; b0|b0",
     "a0|a0; X1|P1; Y3|.0; Z3|.0; b0|b0"},
    {"repeated closer", "a}b}c}", "a}X}b}c}",
     "a0|a0; }0|}0; .0|X2; .0|}2; b0|b0; }0|}0; c0|c0; }0|}0",
     "a0|a0; }0|}0; .0|X2; .0|}2; b0|b0; }0|}0; c0|c0; }0|}0"},
    {"both empty", "", "", "", ""},
    {"only added", "", "ab", ".0|a2; .0|b2", ".0|a2; .0|b2"},
    {"only deleted", "ab", "", "a3|.0; b3|.0", "a3|.0; b3|.0"},
    {"nothing in common", "ab", "xyz", "a1|x1; b1|y1; .0|z2", "a1|x1; b1|y1; .0|z2"},
    {"one changed line", "aXb", "aYb", "a0|a0; X1|Y1; b0|b0", nullptr},
    {"lines deleted", "abxyc", "abc", "a0|a0; b0|b0; x3|.0; y3|.0; c0|c0", nullptr},
    {"lines added", "abc", "abpqc", "a0|a0; b0|b0; .0|p2; .0|q2; c0|c0", nullptr},
    {"first line moved to the end", "XAB", "ABX", "X3|.0; A0|A0; B0|B0; .0|X2", nullptr},
    {"two lines swapped", "ab", "ba", ".0|b2; a0|a0; b3|.0", nullptr},
    {"last line moved up", "abcde", "aebcd", "a0|a0; .0|e2; b0|b0; c0|c0; d0|d0; e3|.0", nullptr},
    {"mixed", "xyABPC", "APBC", "x3|.0; y3|.0; A0|A0; .0|P2; B0|B0; P3|.0; C0|C0", nullptr},
    {"one line twice more", "a", "baa", ".0|b2; a0|a0; .0|a2", nullptr},
    {"equal", "abc", "abc", "a0|a0; b0|b0; c0|c0", nullptr},
};

TEST(MinimalAlignmentTest, WorkedExamplesAgainstTheGreedyPass) {
    for (const WorkedExample& row : kWorkedExamples) {
        SCOPED_TRACE(row.name);
        const auto align = [&](Alignment alignment) {
            return Align(Input(Letters(row.input1)), Input(Letters(row.input2)), alignment);
        };
        EXPECT_EQ(align(Alignment::Greedy), row.greedy);
        if (row.minimal != nullptr) {
            EXPECT_EQ(align(Alignment::Minimal), row.minimal);
        }
    }
}

// The rows of an edit script as written, for scripts that a search might not produce; the
// script marks each line of a side with '1' (changed) or '0'.
std::string RowsOfScript(const std::string& letters1, const std::string& letters2,
                         std::string_view changed1, std::string_view changed2) {
    const TextDocument input1 = Input(Letters(letters1));
    const TextDocument input2 = Input(Letters(letters2));
    EditScript script;
    for (const auto& [side, changed] : {std::pair{0, changed1}, std::pair{1, changed2}}) {
        for (const char c : changed) {
            script.changed[side].push_back(c == '1');
        }
    }
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    RowWriter rows(input1, input2, result1, result2);
    WriteHunkRows(script, input1, input2, rows);
    return Describe(result1, result2);
}

TEST(MinimalAlignmentTest, HunksBecomeChangedPairsThenTheRest) {
    struct Row {
        const char* name;
        const char* input1;
        const char* input2;
        const char* changed1;
        const char* changed2;
        const char* rows;
    };
    const Row rows[] = {
        {"more deleted", "aXYZb", "aPb", "01110", "010", "a0|a0; X1|P1; Y3|.0; Z3|.0; b0|b0"},
        {"more added", "aXb", "aPQRb", "010", "01110", "a0|a0; X1|P1; .0|Q2; .0|R2; b0|b0"},
        {"hunks at both ends", "Xab", "abP", "100", "001", "X3|.0; a0|a0; b0|b0; .0|P2"},
        // A script cut short may pair equal lines: they are shown as unchanged.
        {"equal lines in a hunk", "aXb", "aYXb", "010", "0110", "a0|a0; X1|Y1; .0|X2; b0|b0"},
        {"equal lines side by side", "aXb", "aXb", "010", "010", "a0|a0; X0|X0; b0|b0"},
        {"kept lines that do not pair up", "ab", "a", "00", "0", "a0|a0; b3|.0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RowsOfScript(row.input1, row.input2, row.changed1, row.changed2), row.rows);
    }
}

// A random pair aligned by the minimal pass within the limits: its script, the kinds of
// its rows (which must keep every invariant) and the optimum for the pair.
struct RandomOutcome {
    EditScript script;
    testing::RowCounts counts;
    LineIndex optimum = 0;
};

RandomOutcome AlignRandomPair(unsigned seed, std::size_t maxLines, const SearchLimits& limits) {
    const RandomPair pair = MakeRandomPair(seed, maxLines);
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    AlignMinimal(pair.input1, pair.input2, result1, result2, limits);
    return {FindShortestEdit(pair.input1, pair.input2, limits),
            CheckRowInvariants(pair.input1, pair.input2, RowsOf(result1, result2)),
            OptimalEditLength(pair.input1, pair.input2)};
}

// Random inputs over small vocabularies with every combination of the matching options on
// each side: the rows are a valid alignment and touch as few lines as any alignment can.
TEST(MinimalAlignmentTest, RandomInputsGetAShortestScript) {
    const SearchLimits unbounded{LineIndex{1} << 40, LineIndex{1} << 40};
    for (unsigned seed = 0; seed < 3000 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        // Mostly short inputs, which reach every corner case and no cutoff; some long ones,
        // searched without a cutoff, for deeper splits.
        const bool longInputs = seed % 50 == 0;
        const RandomOutcome outcome =
            AlignRandomPair(seed, longInputs ? 400 : 30, longInputs ? unbounded : SearchLimits{});
        EXPECT_EQ(outcome.script.cutoffSplits, 0);
        EXPECT_EQ(outcome.script.Length(), outcome.optimum);
        EXPECT_EQ(outcome.counts.Touched(), outcome.optimum);
    }
}

struct CutoffCase {
    const char* name;
    SearchLimits limits;
};

class CutoffTest : public ::testing::TestWithParam<CutoffCase> {};

// Cut short, the script stays a valid alignment and each cut costs at most twice the
// cutoff more than the optimum.
TEST_P(CutoffTest, StaysWithinItsBound) {
    const SearchLimits limits = GetParam().limits;
    LineIndex cuts = 0;
    for (unsigned seed = 0; seed < 800 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        const auto [script, counts, optimum] = AlignRandomPair(seed, 80, limits);
        EXPECT_GE(script.Length(), optimum);
        EXPECT_LE(script.Length(), optimum + 2 * limits.costCutoff * script.cutoffSplits);
        EXPECT_LE(counts.Touched(), script.Length());
        if (script.cutoffSplits == 0) {
            EXPECT_EQ(script.Length(), optimum);
        }
        cuts += script.cutoffSplits;
    }
    EXPECT_GT(cuts, 0) << "the cutoff never engaged";
}

INSTANTIATE_TEST_SUITE_P(MinimalAlignmentTest, CutoffTest,
                         ::testing::Values(CutoffCase{"cost1", SearchLimits{1, 64}},
                                           CutoffCase{"cost2", SearchLimits{2, 64}},
                                           CutoffCase{"cost5", SearchLimits{5, 64}},
                                           CutoffCase{"dense1", SearchLimits{64, 1}},
                                           CutoffCase{"dense2cost6", SearchLimits{6, 2}}),
                         [](const ::testing::TestParamInfo<CutoffCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace tandemix
