#include "run/TreeRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "base/ComparisonOptions.h"
#include "base/Messages.h"
#include "report/OutputNames.h"
#include "report/ReportData.h"
#include "report/SingleReport.h"
#include "report/TreeReport.h"
#include "support/ReportRows.h"
#include "support/RunFixture.h"

namespace tandemix {
namespace {

// Lines from a small vocabulary, so that lines recur and the alignments have choices.
std::string RandomText(std::mt19937& random, int lines) {
    static const char* const kWords[] = {"alpha", "beta", "Gamma", "gamma", "  delta", "", "}"};
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text.append(kWords[random() % std::size(kWords)]).append("\n");
    }
    return text;
}

// Deletes, inserts and replaces a few lines.
std::string Edited(std::mt19937& random, const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    for (int edit = 0; edit < 4 && !lines.empty(); ++edit) {
        const std::size_t at = random() % lines.size();
        switch (random() % 3) {
            case 0:
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            case 1:
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), "inserted");
                break;
            default:
                lines[at] = "GAMMA";
        }
    }
    std::string edited;
    for (const std::string& line : lines) {
        edited.append(line).append("\n");
    }
    return edited;
}

class TreeRunTest : public testing::RunFixture {
protected:
    // Generated files in three folders: every third the same on both sides, the others
    // edited on side 2.
    void WriteTree(unsigned seed, int count) const {
        std::mt19937 random(seed);
        for (int file = 0; file < count; ++file) {
            const std::string name = "d" + std::to_string(file % 3) + "/f" + std::to_string(file);
            const std::string text = RandomText(random, 15 + file * 5);
            inputs_.Write("1/" + name, text);
            inputs_.Write("2/" + name, file % 3 == 0 ? text : Edited(random, text));
        }
    }
    // A one-file report of the inputs, by default the two trees minimally aligned: the run's
    // result and the page.
    std::pair<RunResult, std::string> Report(
        const CompareRequest& request = {.choices = {.alignment = Alignment::Minimal,
                                                     .reportForm = ReportForm::Single}},
        const std::array<std::string, 2>& inputs = {}) {
        const RunResult result = Run(inputs[0].empty() ? tops_ : inputs, request);
        EXPECT_TRUE(result.written);
        return {result, Page(kSingleReportName)};
    }

    const std::array<std::string, 2> tops_{inputs_.Path() + "/1", inputs_.Path() + "/2"};
};

// Every changed pair of a generated tree gets the rows a two-file run of the pair gives,
// under each alignment and with options that change what matches.
TEST_F(TreeRunTest, ChangedPairsAreAlignedAsTwoFileRunsAlignThem) {
    WriteTree(16, 12);
    const std::optional<TreeComparison> comparison = CompareInputTrees(tops_, {}, messages_);
    ASSERT_TRUE(comparison);
    ComparisonOptions ignoring;
    ignoring.caseSensitive = false;
    ignoring.indent = false;
    int checked = 0;
    for (const Alignment alignment : {Alignment::Greedy, Alignment::Minimal}) {
        for (const ComparisonOptions& options : {ComparisonOptions{}, ignoring}) {
            const OptionMap map = BuildOptionMap(options);
            for (const TreeEntry& entry : comparison->entries) {
                if (entry.status != EntryStatus::Changed ||
                    entry.sides[0].kind != EntryKind::File) {
                    continue;
                }
                SCOPED_TRACE(entry.path);
                const FileRows rows = AlignTreeFile(tops_, entry, map, alignment, Context(""));
                const std::string data = testing::DataOf(rows.rows[0], rows.rows[1], {});
                const CompareRequest request{
                    .options = options,
                    .choices = {.alignment = alignment, .reportForm = ReportForm::Single}};
                const std::array<std::string, 2> pair{tops_[0] + "/" + entry.path,
                                                      tops_[1] + "/" + entry.path};
                EXPECT_NE(Report(request, pair).second.find(data), std::string::npos);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 4 * 8);
    EXPECT_TRUE(messages_.messages.empty());
}

// The report of two trees holds, for every file it shows, the rows AlignTreeFile gives (which
// the test above ties to two-file runs): the report takes exactly that path.
TEST_F(TreeRunTest, TreeReportShowsEachFileWithTheRowsOfItsTwoFileRun) {
    WriteTree(7, 9);
    std::filesystem::remove(tops_[1] + "/d2/f8");
    inputs_.Write("2/added.txt", "new\n");
    inputs_.Write("1/bin", std::string("a\0b", 3));
    inputs_.Write("2/bin", std::string("a\0c", 3));
    const OptionMap map = BuildOptionMap({});
    const auto [result, page] = Report();
    EXPECT_FALSE(result.incomplete);
    const std::optional<TreeComparison> comparison =
        CompareInputTrees(tops_, {}, messages_, BinaryCheck::Look);
    ASSERT_TRUE(comparison);
    int file = 0;
    LineIndex differences = 0;
    for (const TreeEntry& entry : comparison->entries) {
        differences += IsOwnDifference(entry) ? 1 : 0;
        if (!ShowsRows(entry)) {
            continue;
        }
        SCOPED_TRACE(entry.path);
        const FileRows rows = AlignTreeFile(tops_, entry, map, Alignment::Minimal, Context(""));
        const std::string start = R"(<script type="application/json" class="tandemix-file" )"
                                  "data-file=\"" +
                                  std::to_string(file++) + "\">";
        EXPECT_NE(
            page.find(start + testing::DataOf(rows.rows[0], rows.rows[1], start) + "</script>"),
            std::string::npos);
    }
    // Five changed pairs, the deleted file and the added one.
    EXPECT_EQ(file, 7);
    EXPECT_EQ(result.differenceCount, differences);
    EXPECT_NE(page.find(R"(["bin",1,"ff",{"sizes":[3,3],"binary":1},)"), std::string::npos);
}

// Pairs of different sizes and files on one side only are looked at for a NUL byte as they
// are loaded: binary ones show as binary whatever their size, a NUL past the first 8 KiB
// leaves a file text.
TEST_F(TreeRunTest, FilesFoundBinaryWhileLoadedShowAsBinary) {
    using namespace std::string_literals;
    const std::string text(70 * 1024, 'a');
    struct Case {
        const char* path;
        std::optional<std::string> bytes1;
        std::optional<std::string> bytes2;
        const char* shown;  // the entry as the page lists it
    };
    const Case cases[] = {
        {"small", "a\0b"s, "a\0bc"s, R"(["small",1,"ff",{"sizes":[3,4],"binary":1})"},
        {"large", text, std::string(1, '\0') + text,
         R"(["large",1,"ff",{"sizes":[71680,71681],"binary":1})"},
        {"one", std::nullopt, "\0"s, R"(["one",3,"-f",{"sizes":[0,1],"file":0})"},
        {"text", "a\n" + std::string(8 * 1024, 'b') + '\0', "b\n",
         R"(["text",1,"ff",{"sizes":[8195,2],"file":1})"},
    };
    for (const Case& c : cases) {
        for (const auto& [side, bytes] : {std::pair{"1/", c.bytes1}, std::pair{"2/", c.bytes2}}) {
            if (bytes) {
                inputs_.Write(side + std::string(c.path), *bytes);
            }
        }
    }
    const std::string page = Report().second;
    for (const Case& c : cases) {
        EXPECT_NE(page.find(c.shown), std::string::npos) << c.path;
    }
    // Files 0 and 1 as the rows source found them: "one" binary, "text" text.
    const std::string counts = page.substr(page.find("\"files\":["));
    const std::size_t textCounts = counts.find("[0,1,1,2]]");
    EXPECT_NE(textCounts, std::string::npos);
    EXPECT_LT(counts.find(R"({"binary":1},)"), textCounts);
}

TEST_F(TreeRunTest, AFileOnOneSideIsAllDeletedOrAllAddedRows) {
    inputs_.Write("1/only", "a\nb\n");
    inputs_.Write("2/other", "c\n");
    const std::optional<TreeComparison> comparison = CompareInputTrees(tops_, {}, messages_);
    ASSERT_TRUE(comparison);
    ASSERT_EQ(comparison->entries.size(), 2u);
    const FileRows deleted = AlignTreeFile(tops_, comparison->entries[0], BuildOptionMap({}),
                                           Alignment::Greedy, Context(""));
    ASSERT_EQ(deleted.rows[0].GetLineCount(), 2);
    EXPECT_EQ(deleted.rows[0].CountMarks().deleted, 2);
    EXPECT_EQ(deleted.rows[1].CountMarks().added + deleted.rows[1].CountMarks().deleted, 0);
}

TEST_F(TreeRunTest, InputsThatCannotBeComparedAreReported) {
    const std::string file = inputs_.Write("file", "x");
    const std::string missing = inputs_.Path() + "/missing";
    EXPECT_FALSE(CompareInputTrees({missing, file}, {}, messages_));
    EXPECT_FALSE(CompareInputTrees({file, inputs_.Path()}, {}, messages_));
    EXPECT_EQ(
        messages_.messages,
        (std::vector<std::string>{messages::InputMissing(1, missing, "Der Pfad existiert nicht."),
                                  std::string(messages::kKindsDiffer)}));
}

}  // namespace
}  // namespace tandemix
