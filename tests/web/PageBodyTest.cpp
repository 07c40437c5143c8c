#include "web/PageBody.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;
using namespace std::string_literals;

using enum TransferEnd;
using enum BodyVerdict;
using std::nullopt;

struct BodyCase {
    const char* name;
    std::vector<std::string> chunks;
    std::uint64_t cap;
    TransferEnd end;
    BodyVerdict verdict;
    std::optional<std::string> file;  // std::nullopt: no file left
};

const BodyCase kBodyCases[] = {
    {"zeros dropped in chunks", {"\0a\0"s, "b"s, ""s, "\0\0c\0"s}, 100, Complete, Stored, "abc"},
    {"exactly the cap", {"abc"s, "\0d"s}, 5, Complete, Stored, "abcd"},
    {"zeros count for the cap", {"abc"s, "\0\0d"s}, 5, Complete, OverCap, nullopt},
    {"only zeros", {"\0\0"s, "\0"s}, 100, Complete, Empty, nullopt},
    {"nothing", {}, 100, Complete, Empty, nullopt},
    {"broken off", {"abc"s}, 100, Broken, Incomplete, nullopt},
    {"over the cap and broken off", {"abcdef"s}, 5, Broken, OverCap, nullopt},
};

TEST(PageBodyTest, KeepsOnlyCompleteBodiesWithinTheCapWithoutTheirZeros) {
    for (const BodyCase& c : kBodyCases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        const std::string path = folder.Write("page", "an older and longer page");
        PageBody body(path, c.cap);
        ASSERT_TRUE(body.Ready());
        bool accepted = true;
        for (const std::string& chunk : c.chunks) {
            accepted = body.Append(chunk) && accepted;
        }
        EXPECT_EQ(accepted, c.verdict != OverCap);
        EXPECT_EQ(body.Finish(c.end), c.verdict);
        EXPECT_EQ(body.Finish(Complete), c.verdict) << "the verdict stands";
        if (c.file) {
            EXPECT_EQ(ReadWholeFile(path), *c.file);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path));
        }
    }
}

TEST(PageBodyTest, RestartKeepsOnlyTheLaterAnswer) {
    const TempDir folder;
    PageBody body(folder.Path() + "/page", 4);
    EXPECT_FALSE(body.Append("refused page"));
    ASSERT_TRUE(body.Restart());
    EXPECT_TRUE(body.Append("page"));
    EXPECT_EQ(body.Finish(Complete), Stored);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "/page"), "page");
}

TEST(PageBodyTest, UnfinishedBodyAndUncreatableFileLeaveNothing) {
    const TempDir folder;
    {
        PageBody body(folder.Path() + "/page", 100);
        EXPECT_TRUE(body.Append("half a page"));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/page"));

    PageBody nowhere(folder.Path() + "/missing/page", 100);
    EXPECT_FALSE(nowhere.Ready());
    EXPECT_FALSE(nowhere.Append("page"));
    EXPECT_EQ(nowhere.Finish(Complete), NotWritten);
}

}  // namespace
}  // namespace tandemix
