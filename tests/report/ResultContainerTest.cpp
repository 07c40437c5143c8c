#include "report/ResultContainer.h"

#include <gtest/gtest.h>

#include "support/GoldenFile.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

// The same fixed text, the checked-in one, under either name and on every run.
TEST(ResultContainerTest, WritesTheCheckedInTextEachTime) {
    const TempDir dir;
    testing::RecordingMessageSink messages;
    for (const ContainerForm form :
         {ContainerForm::Hta, ContainerForm::Html, ContainerForm::Html}) {
        const std::string path = OutputPath(dir.Path(), ContainerName(form));
        EXPECT_TRUE(WriteResultContainer(path, messages));
        testing::ExpectGoldenFile("report/Tandemix.htm", ReadWholeFile(path));
    }
    EXPECT_EQ(testing::NamesIn(dir.Path()),
              (std::vector<std::string>{"Tandemix.hta", "Tandemix.htm"}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ResultContainerTest, UnwritablePathIsReported) {
    const TempDir dir;
    testing::RecordingMessageSink messages;
    const std::string path = dir.Write("file", "x") + "/Tandemix.htm";
    EXPECT_FALSE(WriteResultContainer(path, messages));
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"Die Datei " + path +
                                       " kann nicht ge\xC3\xB6"
                                       "ffnet werden\nDer Zugriff wurde verweigert."});
}

}  // namespace
}  // namespace tandemix
