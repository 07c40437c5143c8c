#include "desktop/DesktopLauncher.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "run/CompareCommand.h"
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
        for (const std::string& folder : {Bin(), Beside(), Ran()}) {
            fs::remove_all(folder);
            fs::create_directory(folder);
        }
        environment_.Set("PATH", Bin().c_str());
    }

    std::string Bin() const { return root_.Path() + "/bin"; }
    std::string Beside() const { return root_.Path() + "/beside"; }
    std::string Ran() const { return root_.Path() + "/ran"; }

    // A program that leaves its arguments, where its output goes and its environment, one a
    // line, in Ran()/TAG (its name unless given), prints a line and exits with the status.
    void AddProgram(const std::string& folder, const std::string& name, int exitStatus = 0,
                    const std::string& tag = {}) const {
        const std::string path = folder + "/" + name;
        const std::string record = Ran() + "/" + (tag.empty() ? name : tag);
        std::ofstream(path) << "#!/bin/sh\nPATH=/usr/bin:/bin\nout=$(readlink /proc/$$/fd/1)\n"
                            << "{ printf '%s\\n' \"$@\" \"$out\"; env; } > '" << record
                            << ".part'\n"
                            << "mv '" << record << ".part' '" << record << "'\n"
                            << "echo noise\nexit " << exitStatus << "\n";
        ::chmod(path.c_str(), 0755);
    }

    // What the program of the tag recorded, once it has finished (detached ones finish on
    // their own time).
    std::string Await(const std::string& tag) const {
        for (int i = 0; i < 500 && !fs::exists(Ran() + "/" + tag); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return testing::ReadWholeFile(Ran() + "/" + tag);
    }

    // The tags of the programs that ran, once the one named has finished.
    std::set<std::string> AwaitRan(const std::string& last) const {
        Await(last);
        std::set<std::string> tags;
        for (const auto& entry : fs::directory_iterator(Ran())) {
            tags.insert(entry.path().filename().string());
        }
        return tags;
    }

    testing::TempDir root_;
    testing::ScopedEnvironment environment_;
};

constexpr const char* kAwkwardPath = "/tmp/a b/\"quoted\" $HOME 'x';.htm";

// What a fake program's record starts with when it opens kAwkwardPath.
constexpr std::string_view kOpened = "/tmp/a b/\"quoted\" $HOME 'x';.htm\n/dev/null\n";

// Waited for, so that its exit status counts; a path that looks like an option stays a path.
TEST_F(DesktopLauncherTest, OpensByFileTypeAndWaitsForTheExitStatus) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath)) << "no xdg-open";

    AddProgram(Bin(), "xdg-open", 3);
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath));

    AddProgram(Bin(), "xdg-open", 0);
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ByFileType, kAwkwardPath));
    // The record is complete without polling.
    const auto record = [&] { return testing::ReadWholeFile(Ran() + "/xdg-open"); };
    EXPECT_EQ(record().substr(0, kOpened.size()), kOpened);
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ByFileType, "-x/Tandemix.htm"));
    EXPECT_TRUE(record().starts_with("./-x/Tandemix.htm\n/dev/null\n")) << record();
}

// Not waited for, so even a viewer that fails later counts as started; one beside the
// program comes before the one on PATH.
TEST_F(DesktopLauncherTest, ViewerBesideTheProgramComesBeforeTheOneOnPath) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    AddProgram(Bin(), "tandemix-viewer", 5);
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    EXPECT_EQ(Await("tandemix-viewer").substr(0, kOpened.size()), kOpened);

    AddProgram(Beside(), "tandemix-viewer", 0, "beside");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    EXPECT_EQ(Await("beside").substr(0, kOpened.size()), kOpened);
}

TEST_F(DesktopLauncherTest, BrowserLaunchersInTurn) {
    DesktopLauncher launcher(Beside());
    EXPECT_FALSE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    AddProgram(Bin(), "sensible-browser");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    EXPECT_EQ(Await("sensible-browser").substr(0, kOpened.size()), kOpened);

    AddProgram(Bin(), "x-www-browser");
    EXPECT_TRUE(launcher.Launch(LaunchAttempt::BrowserLauncher, kAwkwardPath));
    EXPECT_EQ(Await("x-www-browser").substr(0, kOpened.size()), kOpened);
}

enum class ViewerAt { Nowhere, OnPath, BesideTheProgram };

struct ChoiceCase {
    const char* name;
    ReportForm form;
    ViewerAt viewer;
    int openerStatus;              // of xdg-open
    std::vector<std::string> ran;  // in order; the last one shows the page
};

using enum ViewerAt;
constexpr ReportForm kFramed = ReportForm::Framed;
constexpr ReportForm kSingle = ReportForm::Single;

const ChoiceCase kChoiceCases[] = {
    {"framed, no viewer", kFramed, Nowhere, 0, {"xdg-open"}},
    {"framed, no viewer, opener fails", kFramed, Nowhere, 4, {"xdg-open", "browser"}},
    {"framed, viewer on PATH", kFramed, OnPath, 0, {"viewer"}},
    {"framed, viewer on PATH, opener fails", kFramed, OnPath, 4, {"viewer"}},
    {"framed, viewer beside", kFramed, BesideTheProgram, 0, {"beside"}},
    {"framed, viewer beside, opener fails", kFramed, BesideTheProgram, 4, {"beside"}},
    {"one file, no viewer", kSingle, Nowhere, 0, {"xdg-open"}},
    {"one file, no viewer, opener fails", kSingle, Nowhere, 4, {"xdg-open", "browser"}},
    {"one file, viewer on PATH", kSingle, OnPath, 0, {"xdg-open"}},
    {"one file, viewer on PATH, opener fails", kSingle, OnPath, 4, {"xdg-open", "viewer"}},
    {"one file, viewer beside, opener fails", kSingle, BesideTheProgram, 4, {"xdg-open", "beside"}},
};

// The framed report's controls work only in the viewer; the one-file report works anywhere.
TEST_F(DesktopLauncherTest, EachFormOpensWhereItsControlsWork) {
    for (const ChoiceCase& row : kChoiceCases) {
        SCOPED_TRACE(row.name);
        SetUp();
        AddProgram(Bin(), "xdg-open", row.openerStatus);
        AddProgram(Bin(), "sensible-browser", 0, "browser");
        if (row.viewer == OnPath) {
            AddProgram(Bin(), "tandemix-viewer", 0, "viewer");
        } else if (row.viewer == BesideTheProgram) {
            AddProgram(Beside(), "tandemix-viewer", 0, "beside");
        }
        DesktopLauncher launcher(Beside());
        OpenContainer(launcher, kAwkwardPath, row.form);
        EXPECT_EQ(AwaitRan(row.ran.back()), std::set<std::string>(row.ran.begin(), row.ran.end()));
    }
}

// A browser and everything it starts would otherwise hold the password of a web login.
TEST_F(DesktopLauncherTest, StartedProgramsDoNotInheritThePassword) {
    environment_.Set("TANDEMIX_PASSWORD", "geheim");
    environment_.Set("TANDEMIX_KEPT", "ja");
    AddProgram(Bin(), "xdg-open");
    AddProgram(Bin(), "tandemix-viewer", 0, "viewer");
    AddProgram(Bin(), "x-www-browser", 0, "browser");
    DesktopLauncher launcher(Beside());
    for (const auto& [attempt, tag] : {std::pair(LaunchAttempt::ByFileType, "xdg-open"),
                                       std::pair(LaunchAttempt::ReportViewer, "viewer"),
                                       std::pair(LaunchAttempt::BrowserLauncher, "browser")}) {
        SCOPED_TRACE(tag);
        ASSERT_TRUE(launcher.Launch(attempt, kAwkwardPath));
        const std::string environment = Await(tag);
        EXPECT_NE(environment.find("TANDEMIX_KEPT=ja\n"), std::string::npos);
        EXPECT_EQ(environment.find("TANDEMIX_PASSWORD"), std::string::npos);
    }
}

TEST_F(DesktopLauncherTest, DetachedProgramsLeaveNoChildBehind) {
    AddProgram(Bin(), "tandemix-viewer");
    ASSERT_TRUE(DesktopLauncher(Beside()).Launch(LaunchAttempt::ReportViewer, kAwkwardPath));
    Await("tandemix-viewer");
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
