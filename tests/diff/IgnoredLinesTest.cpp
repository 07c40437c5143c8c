// -I leaves out hunks whose lines all match, and the blank rules touch as many lines as GNU
// diff's -b and -w under the minimal alignment.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>

#include "base/ComparisonOptions.h"
#include "diff/AlignmentFixtures.h"
#include "support/TempDir.h"

namespace tandemix::testing {
namespace {

LineIndex Ours(const std::vector<std::string>& lines1, const std::vector<std::string>& lines2,
               const ComparisonOptions& options, tandemix::Alignment alignment) {
    const OptionMap map = BuildOptionMap(options);
    const TextDocument input1 = Input(lines1, map);
    const TextDocument input2 = Input(lines2, map);
    TextDocument rows1(CodePage::Windows1252);
    TextDocument rows2(CodePage::Windows1252);
    ComputeDifferences(input1, input2, rows1, rows2, alignment);
    const MarkCounts marks1 = rows1.CountMarks();
    const MarkCounts marks2 = rows2.CountMarks();
    return marks1.changed + marks1.deleted + marks2.changed + marks2.added;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// The "<" and ">" lines of GNU diff's normal output.
int GnuDiff(const std::vector<std::string>& lines1, const std::vector<std::string>& lines2,
            const std::string& flags) {
    const TempDir dir;
    const std::string one = dir.Write("1", Joined(lines1));
    const std::string two = dir.Write("2", Joined(lines2));
    const std::string command = "diff " + flags + " " + one + " " + two;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    int touched = 0;
    char buffer[512];
    bool lineStart = true;
    while (fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        touched += lineStart && (buffer[0] == '<' || buffer[0] == '>');
        lineStart = std::string_view(buffer).ends_with('\n');
    }
    return touched;
}

TEST(IgnoredLinesTest, AHunkGoesOnlyWhenAllItsLinesMatch) {
    struct Row {
        const char* name;
        std::vector<std::string> lines1;
        std::vector<std::string> lines2;
        int touched;  // as GNU diff -I '^#' counts them
    };
    const Row rows[] = {
        {"changed comment", {"a", "# one", "b"}, {"a", "# two", "b"}, 0},
        {"added comment", {"a", "b"}, {"a", "# new", "b"}, 0},
        {"deleted comments", {"a", "# x", "# y", "b"}, {"a", "b"}, 0},
        {"comment beside a real change", {"a", "# x", "b"}, {"a", "# y", "c"}, 4},
        {"two hunks, one kept", {"a", "# x", "b", "c", "d"}, {"a", "# y", "b", "c", "e"}, 2},
        {"code to comment", {"a", "x = 1", "b"}, {"a", "# x = 1", "b"}, 2},
    };
    ComparisonOptions options;
    options.ignoredLines = {"^#"};
    for (const Row& row : rows) {
        for (const tandemix::Alignment alignment :
             {tandemix::Alignment::Greedy, tandemix::Alignment::Minimal}) {
            EXPECT_EQ(Ours(row.lines1, row.lines2, options, alignment), row.touched) << row.name;
        }
        EXPECT_EQ(GnuDiff(row.lines1, row.lines2, "-I '^#'"), row.touched) << row.name;
    }
}

TEST(IgnoredLinesTest, IgnoredRowsStayInPlaceAsUnchangedRows) {
    ComparisonOptions options;
    options.ignoredLines = {"^#"};
    const OptionMap map = BuildOptionMap(options);
    EXPECT_EQ(
        Align(Input({"a", "# x", "b"}, map), Input({"a", "b"}, map), tandemix::Alignment::Minimal),
        "a0|a0; # x0|.0; b0|b0");
}

TEST(IgnoredLinesTest, BlankRulesTouchAsManyLinesAsGnuDiff) {
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"a", "b", " ", "  ", "\t", "x y", "x  y", "x\ty"};
    const auto line = [&] {
        std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
        return pieces[pick(random)] + pieces[pick(random)] + "z";
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> lines1;
        std::vector<std::string> lines2;
        for (int i = 0; i < 8; ++i) {
            lines1.push_back(line());
            lines2.push_back(line());
        }
        ComparisonOptions change;
        change.ignoreSpaceChange = true;
        ComparisonOptions all;
        all.ignoreAllSpace = true;
        EXPECT_EQ(Ours(lines1, lines2, change, tandemix::Alignment::Minimal),
                  GnuDiff(lines1, lines2, "-b"))
            << Joined(lines1) << "--\n"
            << Joined(lines2);
        EXPECT_EQ(Ours(lines1, lines2, all, tandemix::Alignment::Minimal),
                  GnuDiff(lines1, lines2, "-w"))
            << Joined(lines1) << "--\n"
            << Joined(lines2);
    }
}

}  // namespace
}  // namespace tandemix::testing
