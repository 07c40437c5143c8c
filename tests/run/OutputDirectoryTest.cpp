#include "run/OutputDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempDir.h"

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

        const std::optional<std::string> found = FindOutputDirectory(env);

        if (row.expected == nullptr) {
            EXPECT_FALSE(found.has_value()) << *found;
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, Expand(row.expected, r));
        EXPECT_TRUE(fs::is_directory(*found));
        EXPECT_FALSE(fs::exists(r + "/cwd/~ChckWr.tst")) << "the write test leaves its file";
    }
}

TEST(OutputDirectoryTest, RootKeepsItsSeparator) {
    OutputDirectoryEnvironment env;
    env.documentsDirectory = "///";
    EXPECT_EQ(FindOutputDirectory(env), "/");
}

}  // namespace
}  // namespace tandemix
