#include "report/ResultContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ReadWholeFile;
using testing::RecordingMessageSink;
using testing::TempDir;

TEST(ResultContainerTest, FixedTextFramesThePages) {
    const std::string text(ContainerText());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22);
    EXPECT_EQ(text.find("\n", 0) + 1, text.find("<HTA:APPLICATION"));
    for (const char* line : {
             "<HTA:APPLICATION ID=\"Tandemix\"    APPLICATIONNAME=\"Tandemix\"    BORDER=\"thick\"",
             "WINDOWSTATE=\"maximize\"><!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 "
             "Transitional//EN\">\r\n<HTML>\r\n<HEAD>\r\n<TITLE> Tandemix Ergebnisse  </TITLE>\r\n",
             "<FRAME name=\"top\" src=\"~tandemixtop.htm\" scrolling=\"no\"",
             "<FRAME name=\"frame0\" src=\"~tandemix1.htm\"",
             "<FRAME name=\"frame1\" src=\"~tandemix2.htm\"",
             "BORDERCOLOR=\"#3366cc\" "
             "APPLICATION=\"yes\"></FRAME>\r\n</FRAMESET>\r\n</FRAMESET>\r\n"
             "</HTML>\r\n",
         }) {
        SCOPED_TRACE(line);
        EXPECT_NE(text.find(line), std::string::npos);
    }
    EXPECT_TRUE(text.ends_with("</HTML>\r\n"));
    EXPECT_EQ(text.find("<META"), std::string::npos);
}

TEST(ResultContainerTest, WritesTheSameBytesEachTime) {
    const TempDir dir;
    RecordingMessageSink messages;
    const std::string hta = OutputPath(dir.Path(), ContainerName(ContainerForm::Hta));
    const std::string htm = OutputPath(dir.Path(), ContainerName(ContainerForm::Html));
    EXPECT_TRUE(WriteResultContainer(hta, messages));
    EXPECT_TRUE(WriteResultContainer(htm, messages));
    EXPECT_TRUE(WriteResultContainer(htm, messages));
    EXPECT_EQ(ReadWholeFile(dir.Path() + "/Tandemix.hta"), ContainerText());
    EXPECT_EQ(ReadWholeFile(dir.Path() + "/Tandemix.htm"), ContainerText());
    EXPECT_TRUE(messages.messages.empty());
}

TEST(ResultContainerTest, UnwritablePathIsReported) {
    const TempDir dir;
    const std::string blocker = dir.Write("file", "x");
    RecordingMessageSink messages;
    const std::string path = blocker + "/Tandemix.htm";
    EXPECT_FALSE(WriteResultContainer(path, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], "Die Datei " + path +
                                        " kann nicht ge\xC3\xB6"
                                        "ffnet werden\nDer Zugriff wurde "
                                        "verweigert.");
}

}  // namespace
}  // namespace tandemix
