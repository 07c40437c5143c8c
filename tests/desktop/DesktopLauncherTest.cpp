#include "desktop/DesktopLauncher.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

namespace fs = std::filesystem;

// Fake desktop programs in folders of their own, with PATH reduced to the fake bin folder
// so that the real desktop programs of the machine are never started.
class DesktopLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(Bin());
        fs::create_directory(Beside());
        environment_.Set("PATH", Bin().c_str());
    }

    std::string Bin() const { return root_.Path() + "/bin"; }
    std::string Beside() const { return root_.Path() + "/beside"; }
    std::string Record() const { return root_.Path() + "/record"; }

    // A program that writes its tag, its arguments and where its output goes, one a line.
    void AddProgram(const std::string& folder, const std::string& name, int exitStatus = 0,
                    const std::string& tag = {}) const {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "#!/bin/sh\n"
                            << "PATH=/usr/bin:/bin\n"
                            << "out=$(readlink /proc/$$/fd/1)\n"
                            << "{ echo " << (tag.empty() ? name : tag)
                            << "; printf '%s\\n' \"$@\" \"$out\"; } > '" << Record() << ".part'\n"
                            << "mv '" << Record() << ".part' '" << Record() << "'\n"
                            << "echo noise\n"
                            << "exit " << exitStatus << "\n";
        ::chmod(path.c_str(), 0755);
    }

    // Detached programs finish on their own time.
    std::string AwaitRecord() const {
        for (int i = 0; i < 500 && !fs::exists(Record()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return testing::ReadWholeFile(Record());
    }

    testing::TempDir root_;
    testing::ScopedEnvironment environment_;
};

constexpr const char* kAwkwardPath = "/tmp/a b/\"quoted\" $HOME 'x';.htm";

// What a fake program records when it opens kAwkwardPath.
std::string Opened(const std::string& tag) {
    return tag + "\n" + kAwkwardPath + "\n/dev/null\n";
}

// Waited for, so that its exit status counts; a path that looks like an option stays a path.
TEST_F(DesktopLauncherTest, OpensByFileTypeAndWaitsForTheExitStatus) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath)) << "no xdg-open";

    AddProgram(Bin(), "xdg-open", 3);
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath));

    AddProgram(Bin(), "xdg-open", 0);
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath));
    // The record is complete without polling.
    EXPECT_EQ(testing::ReadWholeFile(Record()), Opened("xdg-open"));
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ByFileType, "-x/Tandemix.htm"));
    EXPECT_EQ(testing::ReadWholeFile(Record()), "xdg-open\n./-x/Tandemix.htm\n/dev/null\n");
}

// Not waited for, so even a viewer that fails later counts as started; one beside the
// program comes before the one on PATH.
TEST_F(DesktopLauncherTest, ViewerOnPathThenBesideTheProgram) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    AddProgram(Bin(), "tandemix-viewer", 5);
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    EXPECT_EQ(AwaitRecord(), Opened("tandemix-viewer"));

    fs::remove(Record());
    AddProgram(Beside(), "tandemix-viewer", 0, "beside");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    EXPECT_EQ(AwaitRecord(), Opened("beside"));
}

TEST_F(DesktopLauncherTest, BrowserLaunchersInTurn) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    AddProgram(Bin(), "sensible-browser");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    EXPECT_EQ(AwaitRecord(), Opened("sensible-browser"));

    fs::remove(Record());
    AddProgram(Bin(), "x-www-browser");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    EXPECT_EQ(AwaitRecord(), Opened("x-www-browser"));
}

TEST_F(DesktopLauncherTest, DetachedProgramsLeaveNoChildBehind) {
    AddProgram(Bin(), "tandemix-viewer");
    ASSERT_TRUE(DesktopLauncher(Beside()).Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    AwaitRecord();
    // The launcher reaps the program on a thread of its own once it ends; look without
    // reaping (WNOWAIT) until no child is left.
    bool anyChild = true;
    for (int tries = 0; tries < 500 && anyChild; ++tries) {
        siginfo_t info{};
        errno = 0;
        anyChild = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 || errno != ECHILD;
        if (anyChild) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_FALSE(anyChild);
}

}  // namespace
}  // namespace tandemix
