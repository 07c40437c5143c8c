#include "run/ReportFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/FileReplacement.h"
#include "base/Messages.h"
#include "run/CompareCommand.h"
#include "run/OutputFolderLock.h"
#include "support/RunFixture.h"
#include "support/Unprivileged.h"

namespace tandemix {
namespace {

using testing::NamesIn;
using testing::ReadWholeFile;
using testing::TempDir;

// Writes beyond `bytes` fail with EFBIG for as long as it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

class ReportFilesTest : public testing::RunFixture {
protected:
    ReportFilesTest() {
        output_.Write("a.htm", "old a");
        output_.Write("b.htm", "old b");
    }

    const std::string large_ = std::string(1 << 20, 'x');
    const RunContext context_ = Context(out_);
};

TEST_F(ReportFilesTest, OldFilesStayUntilEveryFileIsComplete) {
    ReportFiles report(out_);
    report.Add("a.htm").Append("new a");
    report.Add("b.htm").Append(large_);
    report.Add("c.htm").Append("new c");
    EXPECT_EQ(Page("a.htm"), "old a");
    EXPECT_EQ(NamesIn(out_).size(), 5u);
    ASSERT_TRUE(report.Commit());
    EXPECT_EQ(Page("a.htm"), "new a");
    EXPECT_EQ(Page("b.htm"), large_);
    EXPECT_EQ(Page("c.htm"), "new c");
    EXPECT_EQ(NamesIn(out_), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
}

TEST_F(ReportFilesTest, AFileThatCannotBeWrittenWholeReplacesNothing) {
    {
        const FileSizeLimit limit(64 << 10);
        ReportFiles report(out_);
        report.Add("a.htm").Append("new a");
        report.Add("b.htm").Append(large_);
        EXPECT_FALSE(report.Commit());
        const auto failures = report.Failures();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].path, out_ + "/b.htm");
        EXPECT_EQ(failures[0].errorNumber, EFBIG);
    }
    EXPECT_EQ(Page("a.htm"), "old a");
    EXPECT_EQ(Page("b.htm"), "old b");
    EXPECT_EQ(NamesIn(out_), (std::vector<std::string>{"a.htm", "b.htm"}));
}

// Every old file is kept until the last rename succeeded: a rename failing at any point,
// or a folder in a page's place, leaves the previous report exactly as it was.
TEST_F(ReportFilesTest, AFailedRenameLeavesThePreviousReportAsItWas) {
    struct Case {
        const char* name;
        int failingRename;  // counted from 0; -1 for none
        const char* failed;
        bool folderInPlaceOfB = false;
    };
    const Case cases[] = {{"first rename fails", 0, "a.htm"},
                          {"second rename fails", 1, "b.htm"},
                          {"last rename fails, its file new", 2, "c.htm"},
                          {"a folder where b was", -1, "b.htm", true}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const TempDir dir;
        dir.Write("a.htm", "old a");
        if (row.folderInPlaceOfB) {
            std::filesystem::create_directory(dir.Path() + "/b.htm");
            dir.Write("b.htm/inside", "x");
        } else {
            dir.Write("b.htm", "old b");
        }
        const auto before = NamesIn(dir.Path());
        {
            int renames = 0;
            ReportFiles report(dir.Path(), [&](const char* from, const char* to) {
                if (renames++ == row.failingRename) {
                    errno = EXDEV;
                    return -1;
                }
                return std::rename(from, to);
            });
            for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
                report.Add(name).Append(std::string("new ") + name);
            }
            EXPECT_FALSE(report.Commit());
            ASSERT_EQ(report.Failures().size(), 1u);
            EXPECT_EQ(report.Failures()[0].path, dir.Path() + "/" + row.failed);
        }
        EXPECT_EQ(ReadWholeFile(dir.Path() + "/a.htm"), "old a");
        if (!row.folderInPlaceOfB) {
            EXPECT_EQ(ReadWholeFile(dir.Path() + "/b.htm"), "old b");
        }
        EXPECT_EQ(NamesIn(dir.Path()), before);
    }
}

// A killed run of any user may have left a file or a link under the name a part file would
// take; it is passed over, and nothing is made where a link points.
TEST_F(ReportFilesTest, PartFilesTakeNoNameThatIsThereAlready) {
    const TempDir outside;
    const std::string target = outside.Path() + "/planted";
    const std::string taken = PartPathFor(out_ + "/a.htm");
    const std::string stem = taken.substr(0, taken.rfind('-', taken.rfind('-') - 1) + 1);
    const int next = std::stoi(taken.substr(stem.size())) + 1;
    const std::string link = stem + std::to_string(next) + "-a.htm";
    const std::string file = stem + std::to_string(next + 1) + "-a.htm";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    output_.Write(file.substr(out_.size() + 1), "another run's");

    ReportFiles report(out_);
    report.Add("a.htm").Append("new a");
    EXPECT_TRUE(report.Commit());
    EXPECT_EQ(Page("a.htm"), "new a");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(ReadWholeFile(file), "another run's");
}

TEST_F(ReportFilesTest, AnAbandonedReportLeavesNothingBehind) {
    {
        ReportFiles report(out_);
        report.Add("a.htm").Append(large_);
    }
    EXPECT_EQ(Page("a.htm"), "old a");
    EXPECT_EQ(NamesIn(out_), (std::vector<std::string>{"a.htm", "b.htm"}));
}

// A wait of more than a second is said once, with the folder, and its end is told too.
TEST_F(ReportFilesTest, CommandsIntoOneFolderTakeTurns) {
    auto first = std::make_unique<OutputFolderLock>(out_);
    ASSERT_TRUE(first->Held());
    std::atomic<bool> secondHeld = false;
    std::thread waiting([&] {
        const OutputFolderTurn second(context_, ReportForm::Framed);
        secondHeld = second.Usable();
    });
    std::this_thread::sleep_for(OutputFolderLock::kQuietWait + std::chrono::milliseconds(300));
    EXPECT_FALSE(secondHeld);
    first.reset();
    waiting.join();
    EXPECT_TRUE(secondHeld);
    EXPECT_EQ(messages_.statuses, (std::vector<std::string>{messages::WaitingForFolder(out_), ""}));
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(NamesIn(out_), (std::vector<std::string>{"a.htm", "b.htm"}));
}

// A lock that is no regular file was planted: it is named in the message and never
// opened, and nothing is made where a link leads.
TEST_F(ReportFilesTest, ALockThatIsNoRegularFileIsRefusedByName) {
    const TempDir outside;
    const std::string target = outside.Write("target", "kept");
    const std::string lock = out_ + "/" + std::string(OutputFolderLock::kFileName);
    const std::vector<std::pair<const char*, std::function<int()>>> plants = {
        {"dangling link",
         [&] { return ::symlink((outside.Path() + "/new").c_str(), lock.c_str()); }},
        {"link to a file", [&] { return ::symlink(target.c_str(), lock.c_str()); }},
        {"folder", [&] { return ::mkdir(lock.c_str(), 0755); }},
        {"pipe", [&] { return ::mkfifo(lock.c_str(), 0644); }},
    };
    for (const auto& [name, plant] : plants) {
        SCOPED_TRACE(name);
        ASSERT_EQ(plant(), 0);
        messages_.messages.clear();
        EXPECT_FALSE(OutputFolderTurn(context_, ReportForm::Framed).Usable());
        EXPECT_EQ(messages_.messages, std::vector<std::string>{messages::CannotOpenFile(
                                          lock, messages::kLockNotARegularFile)});
        EXPECT_EQ(NamesIn(outside.Path()), std::vector<std::string>{"target"});
        EXPECT_EQ(ReadWholeFile(target), "kept");
        std::filesystem::remove(lock);
    }
}

// Another user's lock file and a killed run's part file in a shared folder, neither of
// which this user may remove or write: the run goes on, and leaves both alone.
TEST_F(ReportFilesTest, AnotherUsersLockAndPartsDoNotStopTheRun) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as two users (root and nobody)";
    }
    const std::string shared = out_ + "/shared";
    ASSERT_EQ(::chmod(out_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(shared.c_str(), 0), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string part = std::string(kPartPrefix) + "1-0-~tandemixtop.htm";
    output_.Write("shared/" + std::string(OutputFolderLock::kFileName), "");
    output_.Write("shared/" + part, "half a page");
    const testing::ChildOutcome outcome = testing::RunUnprivileged([&] {
        testing::RecordingMessageSink messages;
        testing::RecordingDebugLog log;
        const RunContext context{shared, CodePage::None, messages, log};
        const OutputFolderTurn turn(context, ReportForm::Framed);
        ReportFiles report(shared);
        report.Add("page.htm").Append("new page");
        return turn.Usable() && report.Commit() && messages.messages.empty();
    });
    ASSERT_NE(outcome, testing::ChildOutcome::NoPrivilegesToDrop);
    EXPECT_EQ(outcome, testing::ChildOutcome::Passed);
    EXPECT_EQ(ReadWholeFile(shared + "/page.htm"), "new page");
    EXPECT_EQ(ReadWholeFile(shared + "/" + part), "half a page");
}

TEST_F(ReportFilesTest, ATurnRemovesWhatAKilledRunLeft) {
    const std::string leftover = std::string(kPartPrefix) + "4242-0-~tandemix1.htm";
    output_.Write(leftover, "half a page");
    output_.Write(OutputFolderLock::kFileName, "");
    {
        const OutputFolderTurn turn(context_, ReportForm::Framed);
        EXPECT_TRUE(turn.Usable());
        EXPECT_FALSE(std::filesystem::exists(out_ + "/" + leftover));
    }
    EXPECT_EQ(NamesIn(out_), (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_TRUE(messages_.messages.empty());
}

}  // namespace
}  // namespace tandemix
