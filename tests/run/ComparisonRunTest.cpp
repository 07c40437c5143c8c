#include "run/ComparisonRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>

#include "base/FailureReason.h"
#include "base/Messages.h"
#include "run/CompareCommand.h"
#include "support/RunFixture.h"

namespace tandemix {
namespace {

using testing::RecordingLauncher;

// Web pages are compared as their fetched copies and named by the typed addresses.
CompareRequest WebPages(std::string address1, std::string address2) {
    return {.inputs = {std::move(address1), std::move(address2)}, .kind = InputsKind::WebPages};
}

class ComparisonRunTest : public testing::RunFixture {
protected:
    ComparisonRunTest() {
        ::mkdir(folder1_.c_str(), 0777);
        ::mkdir(folder2_.c_str(), 0777);
    }

    const std::string folder1_ = inputs_.Path() + "/folder1";
    const std::string folder2_ = inputs_.Path() + "/folder2";
    const std::string file1_ = inputs_.Write("one.txt", "a\nb\nc\n");
    const std::string file2_ = inputs_.Write("two.txt", "a\nB\nc\nd\n");
};

TEST_F(ComparisonRunTest, TwoFilesWriteThreePages) {
    const RunResult result = Run({file1_, file2_});
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.differenceCount, 2);
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_NE(Page("~tandemixtop.htm").find("Ergebnis: 2 Unterschiede"), std::string::npos);
    EXPECT_NE(Page("~tandemixtop.htm").find("&nbsp;" + file1_ + "</font>"), std::string::npos);
    EXPECT_NE(Page("~tandemix1.htm").find("class='C'><strong>1</strong> b</p>"), std::string::npos);
    EXPECT_NE(Page("~tandemix2.htm").find("class='A'><strong>3</strong> d</p>"), std::string::npos);
}

TEST_F(ComparisonRunTest, FolderTestDecidesAndTrailingSeparatorIsAccepted) {
    inputs_.Write("folder1/x.txt", "x");
    const RunResult result = Run({folder1_ + "/", folder2_});
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.differenceCount, 1);
    EXPECT_NE(
        Page("~tandemix1.htm").find("class='D'><strong>0</strong> &nbsp;&nbsp;&nbsp;&nbsp;x.txt ("),
        std::string::npos);
    EXPECT_NE(Page("~tandemixtop.htm").find("folder1/</font>"), std::string::npos);
}

TEST_F(ComparisonRunTest, FolderContentsChoiceMatchesFilesByContentAndCarriesNotes) {
    inputs_.Write("folder1/same.txt", "same");
    inputs_.Write("folder2/same.txt", "same");
    const timespec old[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder1_ + "/same.txt").c_str(), old, 0), 0);
    ASSERT_EQ(::symlink("nowhere", (folder2_ + "/dangling").c_str()), 0);

    EXPECT_EQ(Run({folder1_, folder2_}).differenceCount, 1);
    const RunResult byContents =
        Run({folder1_, folder2_}, {.choices = {.folderComparison = FolderComparison::ByContents}});
    EXPECT_TRUE(byContents.written);
    EXPECT_EQ(byContents.differenceCount, 0);
    EXPECT_EQ(byContents.folderListings[0].brokenLinks, 0u);
    EXPECT_EQ(byContents.folderListings[1].brokenLinks, 1u);
    EXPECT_TRUE(messages_.messages.empty());
}

// Lines "line 1" to "line <count>", each on its own line.
std::string NumberedLines(int count) {
    std::string text;
    for (int line = 1; line <= count; ++line) {
        text += "line " + std::to_string(line) + "\n";
    }
    return text;
}

// The greedy pass marks most rows when an early line recurs at the far end; a shortest
// edit script marks two. Ordinary inputs give no hint.
TEST_F(ComparisonRunTest, ManyRowsMarkedByTheGreedyPassGiveAHint) {
    const std::string lines = NumberedLines(600);
    const std::string far1 = inputs_.Write("far1.txt", "var\n" + lines);
    const std::string far2 = inputs_.Write("far2.txt", "let\n" + lines + "var\n");
    std::string fewChanged = NumberedLines(2000);
    fewChanged.replace(fewChanged.find("line 700\n"), 8, "LINE 700");
    const std::string many1 = inputs_.Write("many1.txt", NumberedLines(2000));
    const std::string many2 = inputs_.Write("many2.txt", fewChanged);
    const std::string examples = TANDEMIX_EXAMPLES;
    struct Case {
        const char* name;
        std::string path1;
        std::string path2;
        Alignment alignment;
        bool hint;
    } cases[] = {
        {"a line recurring far away", far1, far2, Alignment::Greedy, true},
        {"the same with the minimal alignment", far1, far2, Alignment::Minimal, false},
        {"one changed line in 2000", many1, many2, Alignment::Greedy, false},
        {"the example files", examples + "/files/packing-list-1.txt",
         examples + "/files/packing-list-2.txt", Alignment::Greedy, false},
        {"the example folders", examples + "/folders/before", examples + "/folders/after",
         Alignment::Greedy, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult result = Run({c.path1, c.path2}, {.choices = {.alignment = c.alignment}});
        ASSERT_TRUE(result.written);
        EXPECT_EQ(result.hints.manyRowsDiffer, c.hint);
    }
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_TRUE(ManyRowsDiffer(1000, 501));
    EXPECT_FALSE(ManyRowsDiffer(1000, 500));
    EXPECT_FALSE(ManyRowsDiffer(999, 999));
}

// Listed by time, files of equal name and time look unchanged whatever their content; the
// run counts those whose sizes differ, and leaves the count and the report alone.
TEST_F(ComparisonRunTest, FilesOfEqualNameAndTimeButOtherSizeGiveAHint) {
    const timespec when[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    const timespec later[2] = {{1'000'000'600, 0}, {1'000'000'600, 0}};
    const auto write = [&](const std::string& name, const std::string& text, const timespec* time) {
        const std::string path = inputs_.Write(name, text);
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), time, 0), 0);
    };
    write("folder1/grown.txt", "short", when);
    write("folder2/grown.txt", "longer now", when);
    write("folder1/deep/shrunk.txt", "longer before", when);
    write("folder2/deep/shrunk.txt", "short", when);
    write("folder1/same-size.txt", "abc", when);
    write("folder2/same-size.txt", "xyz", when);
    write("folder1/touched.txt", "old", when);
    write("folder2/touched.txt", "newer", later);

    const RunResult byTime = Run({folder1_, folder2_});
    ASSERT_TRUE(byTime.written);
    EXPECT_EQ(byTime.differenceCount, 1) << "touched.txt only";
    EXPECT_EQ(byTime.hints.resizedFilePairs, 2u);
    EXPECT_FALSE(byTime.hints.manyRowsDiffer);
    EXPECT_EQ(Run({folder1_, folder2_}, {.choices = {.alignment = Alignment::Minimal}})
                  .hints.resizedFilePairs,
              2u);
    const RunResult byContents =
        Run({folder1_, folder2_}, {.choices = {.folderComparison = FolderComparison::ByContents}});
    EXPECT_EQ(byContents.hints.resizedFilePairs, 0u);
    EXPECT_EQ(Run({folder1_, folder1_}).hints.resizedFilePairs, 0u);
    EXPECT_EQ(Run({file1_, file2_}).hints.resizedFilePairs, 0u);
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(ComparisonRunTest, WebPagesKindShowsTheTypedAddresses) {
    const CompareRequest web = WebPages("example.com/a", "http://example.com/b");
    ASSERT_TRUE(Run({file1_, file2_}, web).written);
    EXPECT_NE(Page("~tandemixtop.htm").find("&nbsp;example.com/a</font>"), std::string::npos);
    EXPECT_EQ(Page("~tandemixtop.htm").find(file1_), std::string::npos);
}

// Missing inputs, inputs of two kinds and inputs that cannot be taken in whole stop the run
// with a message before anything is written.
TEST_F(ComparisonRunTest, StopsWithAMessageAndLeavesOldReportAlone) {
    ASSERT_TRUE(Run({file1_, file1_}).written);
    const std::string oldTop = Page("~tandemixtop.htm");
    const std::string missing = inputs_.Path() + "/missing";
    const std::string pipe = inputs_.Path() + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string socket = inputs_.Path() + "/socket";
    const testing::SocketFile listening(socket);
    const std::string twoLinesFile = inputs_.Write("two-lines.txt", "a\nb\n");
    const std::string twoBytesFile = inputs_.Write("two-bytes.txt", "a\n");
    struct Case {
        const char* name;
        std::string path1;
        std::string path2;
        std::string message;
        RunLimits limits = {};
        CompareRequest request = {};
    };
    namespace m = messages;
    const RunLimits fourBytes{{4, 100}, std::nullopt};
    const RunLimits twoLines{{100, 2}, std::nullopt};
    const RunLimits tenBytesLeft{DocumentLimits(), 10};
    const RunLimits hundredBytesLeft{DocumentLimits(), 100};
    const std::string mem = "/proc/self/mem";
    const std::string address = "http://a.example/";
    const std::string noSuchPath = "Der Pfad existiert nicht.";
    const std::string throughFile = file1_ + "/inside";
    const std::string kindsDiffer(m::kKindsDiffer);
    const Case cases[] = {
        {"both missing", missing, missing,
         std::string(m::kInput1Missing) + "\n" + missing + ": Der Pfad existiert nicht."},
        {"empty path 1", "", file2_, m::InputMissing(1, "", "Es wurde nichts angegeben.")},
        {"path 2 missing", file1_, missing, m::InputMissing(2, missing, noSuchPath)},
        {"a path through a file", file1_, throughFile,
         m::InputMissing(2, throughFile, "Ein Teil des Pfades ist kein Verzeichnis.")},
        {"ERROR from a failed download", file1_, "ERROR", m::InputMissing(2, "ERROR", noSuchPath)},
        {"a page not fetched is named by its address",
         "",
         file2_,
         m::InputMissing(1, address, "Die Seite konnte nicht geladen werden."),
         {},
         WebPages(address, "http://b.example/")},
        {"folder against file", folder1_, file2_, kindsDiffer},
        {"file against folder", file1_, folder1_, kindsDiffer},
        {"a pipe, which would wait for a writer", file1_, pipe,
         m::NotARegularFile("Datei 2", pipe)},
        {"a socket", socket, file2_, m::NotARegularFile("Datei 1", socket)},
        {"a device", "/dev/zero", file2_, m::NotARegularFile("Datei 1", "/dev/zero")},
        {"a file that fails when read", mem, file2_,
         m::CannotReadInput("Datei 1", mem, ReadFailureReason(EIO))},
        {"more bytes than a document holds", file1_, file2_, m::InputTooLarge("Datei 1", file1_, 4),
         fourBytes},
        {"more lines than a document numbers", twoLinesFile, file1_,
         m::TooManyLines("Datei 2", file1_, 2), twoLines},
        {"more bytes than the memory left", file1_, file2_, m::NotEnoughMemoryForBytes(6 + 8),
         tenBytesLeft},
        {"rows that need more than the memory left", file1_, file2_,
         m::NotEnoughMemoryForLines(3 + 4), hundredBytesLeft},
        {"a web page is named by its address", file1_, file2_,
         m::InputTooLarge("Internet-Seite 1", address, 4), fourBytes,
         WebPages(address, "http://b.example/")},
        {"page 2 is named by its own address", twoBytesFile, file2_,
         m::InputTooLarge("Internet-Seite 2", "http://b.example/", 4), fourBytes,
         WebPages(address, "http://b.example/")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.messages.clear();
        limits_ = c.limits;
        EXPECT_FALSE(Run({c.path1, c.path2}, c.request).written);
        EXPECT_EQ(messages_.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(Page("~tandemixtop.htm"), oldTop);
    }
}

TEST_F(ComparisonRunTest, InputsWithoutReadPermissionStopTheRun) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not apply to root; cli_end_to_end runs this as nobody";
    }
    ASSERT_TRUE(Run({file1_, file1_}).written);
    const std::string oldTop = Page("~tandemixtop.htm");
    ASSERT_EQ(::chmod(file2_.c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder1_.c_str(), 0), 0);
    EXPECT_FALSE(Run({file1_, file2_}).written);
    EXPECT_FALSE(Run({folder1_, folder2_}).written);
    ::chmod(file2_.c_str(), 0600);
    ::chmod(folder1_.c_str(), 0700);
    EXPECT_EQ(messages_.messages,
              (std::vector<std::string>{
                  messages::CannotReadInput("Datei 2", file2_, "Der Zugriff wurde verweigert."),
                  messages::CannotReadInput("Verzeichnis 1", folder1_,
                                            "Der Zugriff wurde verweigert.")}));
    EXPECT_EQ(Page("~tandemixtop.htm"), oldTop);
}

TEST_F(ComparisonRunTest, UnwritablePageFailsTheRunAfterTryingAllThree) {
    out_ = inputs_.Write("not-a-folder", "x");
    EXPECT_FALSE(Run({file1_, file2_}).written);
    ASSERT_EQ(log_.lines.size(), 3u);
    EXPECT_EQ(log_.lines[0], "error : cannot create " + out_ + "/~tandemixtop.htm\r\n");
    EXPECT_EQ(messages_.messages,
              std::vector<std::string>{messages::CannotOpenFile(
                  out_ + "/~tandemixtop.htm", "Das Ausgabeverzeichnis ist kein Verzeichnis.")});
}

TEST_F(ComparisonRunTest, CompareCommandWritesTheChosenContainerAndOpensIt) {
    CompareRequest request{.inputs = {file1_, file2_}, .containerForm = ContainerForm::Hta};
    RecordingLauncher launcher(2);
    const RunContext context = Context(out_);
    const CompareOutcome outcome = CompareIntoReport(request, context, &launcher);
    EXPECT_EQ(outcome.containerPath, out_ + "/Tandemix.hta");
    EXPECT_FALSE(Page("Tandemix.hta").empty());
    using Attempts = std::vector<std::pair<LaunchAttempt, std::string>>;
    EXPECT_EQ(launcher.attempts,
              (Attempts{{LaunchAttempt::ReportViewer, outcome.containerPath},
                        {LaunchAttempt::ByFileType, outcome.containerPath},
                        {LaunchAttempt::BrowserLauncher, outcome.containerPath}}));

    request.inputs[1] = "";
    RecordingLauncher untouched;
    EXPECT_TRUE(CompareIntoReport(request, context, &untouched).containerPath.empty());
    EXPECT_TRUE(untouched.attempts.empty());
}

TEST_F(ComparisonRunTest, OneFileReportIsTheOnlyFileAndTheOneOpened) {
    const CompareRequest request{.inputs = {file1_, file2_},
                                 .choices = {.reportForm = ReportForm::Single}};
    RecordingLauncher launcher;
    const RunContext context = Context(out_);
    const CompareOutcome outcome = CompareIntoReport(request, context, &launcher);
    EXPECT_TRUE(outcome.run.written);
    EXPECT_EQ(outcome.run.differenceCount, 2);
    EXPECT_EQ(outcome.containerPath, out_ + "/Tandemix-Bericht.html");
    EXPECT_NE(Page("Tandemix-Bericht.html").find("Ergebnis: 2 Unterschiede"), std::string::npos);
    for (const char* framed : {"~tandemixtop.htm", "~tandemix1.htm", "Tandemix.htm"}) {
        EXPECT_TRUE(Page(framed).empty()) << framed;
    }
    EXPECT_EQ(launcher.attempts, (std::vector<std::pair<LaunchAttempt, std::string>>{
                                     {LaunchAttempt::ByFileType, outcome.containerPath}}));

    out_ = inputs_.Write("not-a-folder", "x");
    EXPECT_TRUE(CompareIntoReport(request, Context(out_), nullptr).containerPath.empty());
    EXPECT_EQ(messages_.messages, std::vector<std::string>{messages::CannotOpenFile(
                                      out_ + "/Tandemix-Bericht.html",
                                      "Das Ausgabeverzeichnis ist kein Verzeichnis.")});
}

}  // namespace
}  // namespace tandemix
