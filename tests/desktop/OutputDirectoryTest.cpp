#include "desktop/OutputDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tandemix {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Paths in the table are written with "@" for a fresh temporary folder that holds:
// home/, tmp/, sys/ (the system temporary folder), cwd/ and the regular file "file".
std::string Expand(std::string text, const std::string& root) {
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
        text.replace(at, 1, root);
        at += root.size();
    }
    return text;
}

struct ChainCase {
    const char* name;
    OutputDirectoryEnvironment env;  // before expansion; unset fields are empty
    const char* expected;            // nullptr when no folder is found
    // The user-dirs file in the config home (home's .config without one); none when null.
    const char* userDirs = nullptr;
};

OutputDirectoryEnvironment Env(const char* home, const char* documents = "",
                               const char* configHome = "", const char* dataHome = "",
                               const char* tempDirectory = "", const char* systemTemp = "@/sys",
                               const char* workingDirectory = "@/cwd") {
    return {home, documents, configHome, dataHome, tempDirectory, systemTemp, workingDirectory};
}

const ChainCase kChainCases[] = {
    // The documents folder.
    {"documents default is created under home", Env("@/home"), "@/home/Documents"},
    {"documents created with missing parents", Env("@/new/deep"), "@/new/deep/Documents"},
    {"documents variable is created", Env("@/home", "@/docs"), "@/docs"},
    {"documents variable loses trailing separators", Env("@/home", "@/tmp//"), "@/tmp"},
    {"user-dirs file in the config home", Env("@/home", "", "@/config"), "@/home/Dokumente",
     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"},
    {"user-dirs file in home's .config", Env("@/home"), "@/home/Meine Dateien",
     "# written by the desktop\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
     "XDG_DOCUMENTS_DIR=\"$HOME/Meine Dateien\"\n"},
    {"user-dirs absolute path", Env("@/home"), "@/elsewhere",
     "XDG_DOCUMENTS_DIR=\"@/elsewhere\"\n"},
    {"user-dirs escapes are undone after the expansion", Env("@/home"), "@/home/a\"b$HOME",
     "XDG_DOCUMENTS_DIR=\"$HOME/a\\\"b\\$HOME\"\n"},
    {"user-dirs later assignment wins", Env("@/home"), "@/home/second",
     "XDG_DOCUMENTS_DIR=\"$HOME/first\"\nXDG_DOCUMENTS_DIR=\"$HOME/second\"\n"},
    {"user-dirs relative path is ignored", Env("@/home"), "@/home/Documents",
     "XDG_DOCUMENTS_DIR=\"Docs\"\n"},
    {"user-dirs without closing quote is ignored", Env("@/home"), "@/home/Documents",
     "XDG_DOCUMENTS_DIR=\"$HOME/Docs\n"},
    {"documents variable wins over user-dirs", Env("@/home", "@/docs"), "@/docs",
     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"},
    // The application data folder.
    {"home below a regular file falls back to app data", Env("@/file/home", "", "", "@/data"),
     "@/data"},
    {"documents that is a regular file falls back to app data", Env("@/home", "@/file"),
     "@/home/.local/share"},
    {"user-dirs folder that cannot be created falls back to app data",
     Env("@/home", "", "", "@/data"), "@/data", "XDG_DOCUMENTS_DIR=\"@/file/docs\"\n"},
    // The temporary folder.
    {"TMPDIR when nothing can be created", Env("@/file/home", "", "", "", "@/tmp"), "@/tmp"},
    {"missing TMPDIR falls back to the system temp", Env("@/file/home", "", "", "", "@/none"),
     "@/sys"},
    {"TMPDIR that is a file falls back to the system temp",
     Env("@/file/home", "", "", "", "@/file"), "@/sys"},
    {"no home at all", Env(""), "@/sys"},
    {"relative variables are ignored", Env("home", "docs", "", "data", "tmp"), "@/sys"},
    // The write test and the end of the chain.
    {"working directory after the write test", Env("@/file/h", "", "", "", "", "@/file/sys"),
     "@/cwd"},
    {"nothing found", Env("@/file/h", "", "", "", "", "@/file/sys", "@/file/cwd"), nullptr},
};

TEST(OutputDirectoryTest, FollowsTheChain) {
    for (const ChainCase& row : kChainCases) {
        SCOPED_TRACE(row.name);
        const TempDir root;
        const std::string& r = root.Path();
        for (const char* folder : {"home", "tmp", "sys", "cwd"}) {
            fs::create_directory(r + "/" + folder);
        }
        root.Write("file", "not a folder");
        OutputDirectoryEnvironment env = row.env;
        for (std::string* field :
             {&env.home, &env.documentsDirectory, &env.configHome, &env.dataHome,
              &env.tempDirectory, &env.systemTemp, &env.workingDirectory}) {
            *field = Expand(*field, r);
        }
        if (row.userDirs != nullptr) {
            const std::string config =
                env.configHome.empty() ? env.home + "/.config" : env.configHome;
            fs::create_directories(config);
            std::ofstream(config + "/user-dirs.dirs") << Expand(row.userDirs, r);
        }

        testing::RecordingMessageSink messages;
        const std::optional<std::string> found = FindOutputDirectory(env, messages);

        if (row.expected == nullptr) {
            EXPECT_FALSE(found.has_value()) << *found;
            EXPECT_EQ(messages.messages,
                      std::vector<std::string>{std::string(messages::kNoOutputDirectory)});
            continue;
        }
        EXPECT_TRUE(messages.messages.empty());
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, Expand(row.expected, r));
        EXPECT_TRUE(fs::is_directory(*found));
        EXPECT_FALSE(fs::exists(r + "/cwd/~ChckWr.tst")) << "the write test leaves its file";
    }
}

TEST(OutputDirectoryTest, RootKeepsItsSeparator) {
    OutputDirectoryEnvironment env;
    env.documentsDirectory = "///";
    testing::RecordingMessageSink messages;
    EXPECT_EQ(FindOutputDirectory(env, messages), "/");
}

// Where the chain ends in a folder others can write to, the pages go to a private folder
// of the user's own inside it; one that is there but not that is refused with a message.
TEST(OutputDirectoryTest, ASharedFolderIsUsedOnlyThroughAPrivateOneInside) {
    struct Case {
        const char* name;
        mode_t sharedMode;          // of the temporary folder, or the working directory
        const char* privateFolder;  // what lies there already: "", "folder", "link" or "file"
        mode_t privateMode = 0700;
        bool workingDirectory = false;  // the chain ends there instead
        bool chownToRoot = false;       // the private folder is root's (run as nobody)
        bool used = true;
    };
    const Case cases[] = {
        {"a temporary folder of the user's own is used itself", 0700, ""},
        {"a shared temporary folder gets a private folder", 01777, ""},
        {"a group-writable one of another group too", 0770, ""},
        {"the private folder is used again", 01777, "folder"},
        {"the working directory gets one too", 01777, "", 0700, true},
        {"a private folder open to others is refused", 01777, "folder", 0755, false, false, false},
        {"a link is refused", 01777, "link", 0700, false, false, false},
        {"a file is refused", 01777, "file", 0700, false, false, false},
        {"another user's is refused", 01777, "folder", 0700, false, true, false},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        if ((row.chownToRoot || row.sharedMode == 0770) && ::geteuid() != 0) {
            std::cout << "skipped: " << row.name << " (needs root to act as two users)\n";
            continue;
        }
        const TempDir root;
        ASSERT_EQ(::chmod(root.Path().c_str(), 0755), 0);
        const std::string shared = root.Path() + "/shared";
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(shared.c_str(), row.sharedMode), 0);
        if (row.sharedMode == 0770) {
            ASSERT_EQ(::chown(shared.c_str(), static_cast<uid_t>(-1), ::getegid() + 1), 0);
        }
        const uid_t user = row.chownToRoot ? 65534 : ::geteuid();
        const std::string own = shared + "/tandemix-" + std::to_string(user);
        const std::string kind = row.privateFolder;
        if (kind == "folder") {
            ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(own.c_str(), row.privateMode), 0);
        } else if (kind == "link") {
            ASSERT_EQ(::mkdir((root.Path() + "/elsewhere").c_str(), 0700), 0);
            ASSERT_EQ(::symlink((root.Path() + "/elsewhere").c_str(), own.c_str()), 0);
        } else if (kind == "file") {
            root.Write("shared/tandemix-" + std::to_string(user), "");
        }
        OutputDirectoryEnvironment env;
        env.home = root.Path() + "/file/home";
        env.systemTemp = row.workingDirectory ? root.Path() + "/none" : shared;
        env.workingDirectory = row.workingDirectory ? shared : "";
        root.Write("file", "");
        const std::string expected = row.sharedMode == 0700 ? shared : own;
        const auto check = [&] {
            testing::RecordingMessageSink messages;
            const std::optional<std::string> found = FindOutputDirectory(env, messages);
            if (!row.used) {
                return !found && messages.messages ==
                                     std::vector<std::string>{messages::NotAPrivateFolder(own)};
            }
            struct stat info {};
            return found == expected && messages.messages.empty() &&
                   ::lstat(expected.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                   info.st_uid == ::geteuid() &&
                   (expected == shared || (info.st_mode & 07777) == 0700);
        };
        if (row.chownToRoot) {
            EXPECT_EQ(testing::RunUnprivileged(check), testing::ChildOutcome::Passed);
        } else {
            EXPECT_TRUE(check());
        }
    }
}

}  // namespace
}  // namespace tandemix
