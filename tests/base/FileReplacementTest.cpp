#include "base/FileReplacement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/DebugLog.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::NamesIn;
using testing::ReadWholeFile;
using testing::TempDir;

TEST(FileReplacementTest, PiecesReplaceTheFileOnCommit) {
    const TempDir dir;
    const std::string path = dir.Write("page.html", "old");
    FileReplacement file(path);
    file.Append("new ");
    file.Append(std::string_view("\0\r\n", 3));
    file.Append("page");
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ReadWholeFile(path), std::string("new \0\r\npage", 11));
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"page.html"});
}

TEST(FileReplacementTest, WithoutCommitTheOldFileStays) {
    const TempDir dir;
    const std::string path = dir.Write("page.html", "old");
    {
        FileReplacement file(path);
        file.Append("half a page");
    }
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"page.html"});
}

TEST(FileReplacementTest, AFileThatCannotBeCreatedFailsTheCommit) {
    const TempDir dir;
    for (const std::string& path : {dir.Write("file", "x") + "/page.html", std::string()}) {
        SCOPED_TRACE(path);
        FileReplacement file(path);
        file.Append("text");
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"file"});
}

// The debug line for a file that could not be created is cut to its longest length with
// the path's end kept.
TEST(FileReplacementTest, CannotCreateLineKeepsThePathsEnd) {
    EXPECT_EQ(CannotCreateLine("/a/page.htm"), "error : cannot create /a/page.htm\r\n");
    const std::string line = CannotCreateLine("/a/" + std::string(400, 'n') + "/page.htm");
    EXPECT_EQ(line.size(), 259u);
    EXPECT_TRUE(line.starts_with("error : cannot create ..."));
    EXPECT_TRUE(line.ends_with("nnn/page.htm\r\n"));
}

}  // namespace
}  // namespace tandemix
