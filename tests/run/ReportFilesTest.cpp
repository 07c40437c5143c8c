#include "run/ReportFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "base/FileReplacement.h"
#include "run/CompareCommand.h"
#include "run/OutputFolderLock.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"

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

class ReportFilesTest : public ::testing::Test {
protected:
    ReportFilesTest() {
        dir_.Write("a.htm", "old a");
        dir_.Write("b.htm", "old b");
    }
    std::string Read(const char* name) const { return ReadWholeFile(dir_.Path() + "/" + name); }

    TempDir dir_;
    const std::string large_ = std::string(1 << 20, 'x');
};

TEST_F(ReportFilesTest, OldFilesStayUntilEveryFileIsComplete) {
    ReportFiles report(dir_.Path());
    report.Add("a.htm").Append("new a");
    report.Add("b.htm").Append(large_);
    report.Add("c.htm").Append("new c");
    EXPECT_EQ(Read("a.htm"), "old a");
    EXPECT_EQ(NamesIn(dir_.Path()).size(), 5u);
    ASSERT_TRUE(report.Commit());
    EXPECT_EQ(Read("a.htm"), "new a");
    EXPECT_EQ(Read("b.htm"), large_);
    EXPECT_EQ(Read("c.htm"), "new c");
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
}

TEST_F(ReportFilesTest, AFileThatCannotBeWrittenWholeReplacesNothing) {
    {
        const FileSizeLimit limit(64 << 10);
        ReportFiles report(dir_.Path());
        report.Add("a.htm").Append("new a");
        report.Add("b.htm").Append(large_);
        EXPECT_FALSE(report.Commit());
        const auto failures = report.Failures();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].path, dir_.Path() + "/b.htm");
        EXPECT_EQ(failures[0].errorNumber, EFBIG);
    }
    EXPECT_EQ(Read("a.htm"), "old a");
    EXPECT_EQ(Read("b.htm"), "old b");
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

TEST_F(ReportFilesTest, AnAbandonedReportLeavesNothingBehind) {
    {
        ReportFiles report(dir_.Path());
        report.Add("a.htm").Append(large_);
    }
    EXPECT_EQ(Read("a.htm"), "old a");
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

TEST_F(ReportFilesTest, CommandsIntoOneFolderTakeTurns) {
    auto first = std::make_unique<OutputFolderLock>(dir_.Path());
    ASSERT_TRUE(first->Held());
    std::atomic<bool> secondHeld = false;
    std::thread waiting([&] {
        const OutputFolderLock second(dir_.Path());
        secondHeld = second.Held();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(secondHeld);
    first.reset();
    waiting.join();
    EXPECT_TRUE(secondHeld);
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

TEST_F(ReportFilesTest, ATurnRemovesWhatAKilledRunLeft) {
    const std::string leftover = std::string(kPartPrefix) + "4242-0-~tandemix1.htm";
    dir_.Write(leftover, "half a page");
    dir_.Write(OutputFolderLock::kFileName, "");
    testing::RecordingMessageSink messages;
    testing::RecordingDebugLog log;
    const RunContext context{dir_.Path(), CodePage::None, messages, log};
    {
        const OutputFolderTurn turn(context, ReportForm::Framed);
        EXPECT_TRUE(turn.Usable());
        EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "/" + leftover));
    }
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace tandemix
