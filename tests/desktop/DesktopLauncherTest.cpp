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
        fs::create_directory(Bin());
        fs::create_directory(Beside());
        environment_.Set("PATH", Bin().c_str());
    }

    std::string Bin() const { return root_.Path() + "/bin"; }
    std::string Beside() const { return root_.Path() + "/beside"; }
    std::string Record() const { return root_.Path() + "/record"; }
    std::string Ran() const { return root_.Path() + "/ran"; }

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

    // A program that leaves its environment in Ran()/TAG and exits with the given status.
    void AddWitness(const std::string& folder, const std::string& name, int exitStatus,
                    const std::string& tag) const {
        const std::string path = folder + "/" + name;
        const std::string record = Ran() + "/" + tag;
        std::ofstream(path) << "#!/bin/sh\n/usr/bin/env > '" << record << ".part'\n"
                            << "/bin/mv '" << record << ".part' '" << record << "'\n"
                            << "exit " << exitStatus << "\n";
        ::chmod(path.c_str(), 0755);
    }

    // The tags of the witnesses that ran, once the one named has finished.
    std::set<std::string> AwaitRan(const std::string& last) const {
        for (int i = 0; i < 500 && !fs::exists(Ran() + "/" + last); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::set<std::string> tags;
        for (const auto& entry : fs::directory_iterator(Ran())) {
            tags.insert(entry.path().filename().string());
        }
        return tags;
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
        for (const std::string& folder : {Bin(), Beside(), Ran()}) {
            fs::remove_all(folder);
            fs::create_directory(folder);
        }
        AddWitness(Bin(), "xdg-open", row.openerStatus, "xdg-open");
        AddWitness(Bin(), "sensible-browser", 0, "browser");
        if (row.viewer == OnPath) {
            AddWitness(Bin(), "tandemix-viewer", 0, "viewer");
        } else if (row.viewer == BesideTheProgram) {
            AddWitness(Beside(), "tandemix-viewer", 0, "beside");
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
    fs::create_directory(Ran());
    AddWitness(Bin(), "xdg-open", 0, "xdg-open");
    AddWitness(Bin(), "tandemix-viewer", 0, "viewer");
    AddWitness(Bin(), "x-www-browser", 0, "browser");
    DesktopLauncher launcher(Beside());
    for (const auto& [attempt, tag] : {std::pair(LaunchAttempt::ByFileType, "xdg-open"),
                                       std::pair(LaunchAttempt::ReportViewer, "viewer"),
                                       std::pair(LaunchAttempt::BrowserLauncher, "browser")}) {
        SCOPED_TRACE(tag);
        ASSERT_TRUE(launcher.Launch(attempt, kAwkwardPath));
        AwaitRan(tag);
        const std::string environment = testing::ReadWholeFile(Ran() + "/" + tag);
        EXPECT_NE(environment.find("TANDEMIX_KEPT=ja\n"), std::string::npos);
        EXPECT_EQ(environment.find("TANDEMIX_PASSWORD"), std::string::npos);
    }
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
