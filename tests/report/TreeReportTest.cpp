#include "report/TreeReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ReportRows.h"

namespace tandemix {
namespace {

using testing::RowsOf;

TreeEntry Entry(std::string path, EntryStatus status, EntryKind kind1, EntryKind kind2,
                std::uint64_t size1 = 0, std::uint64_t size2 = 0) {
    TreeEntry entry;
    entry.path = std::move(path);
    entry.status = status;
    entry.sides = {EntrySide{kind1, 0, size1}, EntrySide{kind2, 0, size2}};
    return entry;
}

constexpr auto F = EntryKind::File;
constexpr auto D = EntryKind::Folder;
constexpr auto N = EntryKind::None;

class TreeReportTest : public ::testing::Test {
protected:
    std::string Page(const std::vector<TreeEntry>& entries, const TreeReportLimits& limits = {}) {
        StringSink sink;
        counts_ = WriteTreeReport(
            {{"eins", "zwei"}, CodePage::None, LineNumbers::Shown}, entries,
            [this](const TreeEntry& entry) {
                asked_.push_back(entry.path);
                TreeFileRows rows;
                rows.rows[0] = RowsOf({{"a", LineMark::MarkChanged}});
                rows.rows[1] = RowsOf({{"b", LineMark::MarkChanged}});
                rows.binary = entry.path.ends_with(".bin");
                return rows;
            },
            sink, limits);
        return sink.Take();
    }

    std::vector<std::string> asked_;
    TreeReportCounts counts_;
};

// What the entries' data holds for each status: equal entries their names and nothing
// more; rows only for text files, asked for in path order; binaries, moves and one-sided
// folders by their details.
TEST_F(TreeReportTest, EntriesCarryTheirStatusAndOnlyDifferencesCarryDetails) {
    TreeEntry binary = Entry("b.dat", EntryStatus::Changed, F, F, 10, 12);
    binary.binary = true;
    TreeEntry moved = Entry("old.txt", EntryStatus::Moved, F, F, 70, 70);
    moved.movedTo = "sub/new.txt";
    TreeEntry inside = Entry("only/x.txt", EntryStatus::OnlyIn2, N, F, 0, 4);
    inside.insideOneSided = true;
    const std::string page = Page({
        Entry("a.txt", EntryStatus::Changed, F, F, 3, 4),
        binary,
        Entry("lone.bin", EntryStatus::OnlyIn1, F, N, 9, 0),
        moved,
        Entry("only", EntryStatus::OnlyIn2, N, D),
        inside,
        Entry("same.txt", EntryStatus::Equal, F, F, 5, 5),
        Entry("sub", EntryStatus::Changed, D, D),
    });
    EXPECT_EQ(asked_, (std::vector<std::string>{"a.txt", "lone.bin", "only/x.txt"}));
    // Before the rows: each entry's place in path order, and a number for each file whose
    // rows may be shown; the rows tell at the end what became of each such file.
    const std::string expected[] = {
        R"(["a.txt",1,"ff",{"sizes":[3,4],"file":0},0])",
        R"(["b.dat",1,"ff",{"sizes":[10,12],"binary":1},1])",
        R"(["lone.bin",2,"f-",{"sizes":[9,0],"file":1},2])",
        R"(["old.txt",6,"ff",{"sizes":[70,70],"to":"sub/new.txt"},3])",
        R"(["only",3,"-d",{"sizes":[0,0]},4])",
        R"(["only/x.txt",3,"-f",{"sizes":[0,4],"file":2},5])",
        R"("later":1,)",
        R"(["same.txt","ff"])",
        "\"lines\":[0,0,2],\r\n\"files\":[\r\n[0,0,1,1],\r\n{\"binary\":1},\r\n[0,0,1,1]]}",
    };
    for (const std::string& entry : expected) {
        EXPECT_NE(page.find(entry), std::string::npos) << entry;
    }
    // The folder "only" is one difference, whatever is in it; "sub" only gathers them.
    EXPECT_EQ(counts_.differences, 5);
    EXPECT_NE(page.find("Ergebnis: 5 Unterschiede</b>"), std::string::npos);
    EXPECT_EQ(counts_.changed, 2);
}

TEST_F(TreeReportTest, FilesTooLargeForABrowserAreLeftOutWithoutBeingRead) {
    const std::string page = Page({Entry("big", EntryStatus::Changed, F, F, 600, 600),
                                   Entry("fits", EntryStatus::Changed, F, F, 10, 10)},
                                  TreeReportLimits{.fileBytes = 1000});
    EXPECT_EQ(asked_, std::vector<std::string>{"fits"});
    EXPECT_NE(page.find(R"(["big",1,"ff",{"sizes":[600,600],"large":1},0])"), std::string::npos);

    asked_.clear();
    // Past the report's limit, no file fits any more.
    const std::string full = Page({Entry("fits", EntryStatus::Changed, F, F, 10, 10)},
                                  TreeReportLimits{.reportBytes = 10});
    EXPECT_TRUE(asked_.empty());
    EXPECT_NE(full.find("\"files\":[\r\n{\"large\":1}]"), std::string::npos);
}

// The page draws the tree and its first file (the first differing one, folders first)
// before it has read the rest: the entries but the equal ones, and that file's data, stand
// before the script; the equal entries and the other files after it, the line counts last.
// The rows are still asked for in path order; the data asked for before the first file's
// is held back, up to a limit past which it goes out in path order.
TEST_F(TreeReportTest, TheFirstShownFileStandsBeforeTheScriptAndTheCountsLast) {
    const std::vector<TreeEntry> entries = {
        Entry("a.txt", EntryStatus::Changed, F, F, 1, 1),
        Entry("eq", EntryStatus::Equal, D, D),
        Entry("eq/x.txt", EntryStatus::EqualUnderOptions, F, F, 1, 1),
        Entry("same.txt", EntryStatus::Equal, F, F, 1, 1),
        Entry("sub", EntryStatus::Changed, D, D),
        Entry("sub/c.txt", EntryStatus::Changed, F, F, 1, 1),
        Entry("z.txt", EntryStatus::OnlyIn2, N, F, 0, 1),
    };
    const auto data = [](int file) {
        return R"(class="tandemix-file" data-file=")" + std::to_string(file) + "\">";
    };
    for (const std::size_t heldBytes : {kTreeHeldBytes, std::size_t{0}}) {
        asked_.clear();
        const std::string page = Page(entries, TreeReportLimits{.heldBytes = heldBytes});
        EXPECT_EQ(asked_, (std::vector<std::string>{"a.txt", "eq/x.txt", "sub/c.txt", "z.txt"}));
        const auto at = [&](const std::string& text) {
            const std::size_t found = page.find(text);
            EXPECT_NE(found, std::string::npos) << text;
            return found;
        };
        const std::size_t script = at("<script>\r\n");
        // The equal folder above a file that is equal only under the options comes first.
        EXPECT_LT(at(R"(["eq",0,"dd",null,1])"), script);
        EXPECT_EQ(at(data(2)) < script, heldBytes > 0) << heldBytes;
        EXPECT_LT(script, at(R"(id="tandemix-later">{"format":1,"entries":[)"
                             "\r\n"
                             R"(["same.txt","ff"]]})"));
        EXPECT_LT(at(R"(id="tandemix-later")"), at(data(0)));
        EXPECT_LT(at(data(0)), at(data(1)));
        EXPECT_LT(at(data(1)), at(data(3)));
        EXPECT_LT(at(data(3)), at(R"(id="tandemix-counts")"));
        EXPECT_LT(at(R"(id="tandemix-counts")"), at("</body>"));
    }
}

TEST_F(TreeReportTest, NamesThatAreNoUtf8ShowReplacementCharacters) {
    const std::string page = Page({Entry("gr\xfc\xdf.txt", EntryStatus::Equal, F, F),
                                   Entry("\xc3\xa4.txt", EntryStatus::Equal, F, F)});
    EXPECT_NE(page.find("[\"gr\xEF\xBF\xBD\xEF\xBF\xBD.txt\",\"ff\"]"), std::string::npos);
    EXPECT_NE(page.find("[\"\xc3\xa4.txt\",\"ff\"]"), std::string::npos);
    EXPECT_EQ(WithReplacementCharacters("a\xe2\x82"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(WithReplacementCharacters("\xe2\x82\xac"), "\xe2\x82\xac");
}

// The page is UTF-8; a file whose texts are not is read as Windows-1252, as the one-file
// report of the pair declares it.
TEST(TreeReportCharsetTest, TextsThatAreNoUtf8AreShownAsWindows1252) {
    StringSink sink;
    WriteTreeReport(
        {"1", "2"}, std::vector{Entry("t", EntryStatus::OnlyIn1, F, N, 4, 0)},
        [](const TreeEntry&) {
            TreeFileRows rows;
            rows.rows[0] = RowsOf({{"gr\xfc\x80", LineMark::MarkDeleted}});
            rows.rows[1] = RowsOf({{"", LineMark::MarkUnchanged}});
            return rows;
        },
        sink);
    EXPECT_NE(sink.Text().find("gr\xc3\xbc\xe2\x82\xac\\n"), std::string::npos);
    EXPECT_NE(sink.Text().find("<meta charset=\"utf-8\">"), std::string::npos);
}

}  // namespace
}  // namespace tandemix
