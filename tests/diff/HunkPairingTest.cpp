#include "diff/HunkPairing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diff/AlignmentFixtures.h"

namespace tandemix {
namespace {

struct PairingCase {
    const char* name;
    std::vector<std::string> shorter;
    std::vector<std::string> longer;
    std::vector<std::size_t> partners;
};

const PairingCase kPairingCases[] = {
    {"unrelated lines pair by position", {"x = 1;"}, {"// one", "// two", "// three"}, {0}},
    {"a line finds its edited self",
     {"if ( newContext !== context ) {"},
     {"// Support: IE 11+", "// eslint-disable-next-line", "if ( newContext != context ) {"},
     {2}},
    {"the unrelated one keeps its place",
     {"var name = elem.nodeName;", "return name === \"input\" && elem.type === type;"},
     {"// note", "return nodeName( elem, \"input\" ) && elem.type === type;", "}"},
     {0, 1}},
    {"blanks around a line do not count",
     {"\t\tresult.push( item );"},
     {"    ", "\t", "result.push( item, 1 );"},
     {2}},
    {"pairs never cross",
     {"alpha beta gamma", "delta epsilon zeta"},
     {"delta epsilon zeta!", "unrelated", "alpha beta gamma!"},
     {0, 1}},
    {"equal sides pair by position",
     {"same line one", "same line two"},
     {"same line two", "same line one"},
     {0, 1}},
    {"an empty side pairs nothing", {}, {"a", "b"}, {}},
};

TEST(HunkPairingTest, PairsLinesThatReadAlike) {
    for (const PairingCase& row : kPairingCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PairHunkLines(row.shorter, row.longer), row.partners);
    }
}

TEST(HunkPairingTest, LargeHunksPairByPosition) {
    const std::vector<std::string> shorter = {"wanted line"};
    std::vector<std::string> longer(kMaxWeighedPairs + 1, "other text");
    longer.back() = "wanted line!";
    EXPECT_EQ(PairHunkLines(shorter, longer), std::vector<std::size_t>{0});
    longer.resize(kMaxWeighedPairs);
    longer.back() = "wanted line!";
    EXPECT_EQ(PairHunkLines(shorter, longer), std::vector<std::size_t>{kMaxWeighedPairs - 1});
}

TEST(HunkPairingTest, RowsShowTheEditedLineBesideItsOldSelf) {
    using testing::Input;
    EXPECT_EQ(
        testing::Align(Input({"a", "if ( x !== y ) {", "b"}),
                       Input({"a", "// first note", "// second note", "if ( x != y ) {", "b"}),
                       Alignment::Minimal),
        "a0|a0; .0|// first note2; .0|// second note2; if ( x !== y ) {1|if ( x != y ) {1; b0|b0");
}

}  // namespace
}  // namespace tandemix
