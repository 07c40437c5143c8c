#include "run/CompareCommand.h"

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "base/WorkingFiles.h"
#include "support/RunFixture.h"

namespace tandemix {
namespace {

class CompareCommandTest : public testing::RunFixture {
protected:
    CompareRequest Request() const {
        return {.inputs = {inputs_.Write("one.txt", "a\n"), inputs_.Write("two.txt", "b\n")}};
    }
};

// An output folder that cannot take the report is named for what is wrong with it, before
// anything is loaded or fetched.
TEST_F(CompareCommandTest, UnusableOutputFolderIsReportedWithTheReason) {
    const std::string file = inputs_.Write("file", "x");
    struct Case {
        const char* name;
        std::string folder;
        std::string reason;
    };
    const Case cases[] = {
        {"missing", output_.Path() + "/missing", "Das Ausgabeverzeichnis existiert nicht."},
        {"a file", file, "Das Ausgabeverzeichnis ist kein Verzeichnis."},
        {"below a file", file + "/out", "Das Ausgabeverzeichnis ist kein Verzeichnis."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> expected = {
            messages::CannotOpenFile(c.folder + "/~tandemixtop.htm", c.reason)};
        const RunContext context = Context(c.folder);
        messages_.messages.clear();
        EXPECT_TRUE(CompareIntoReport(Request(), context, nullptr).containerPath.empty());
        EXPECT_EQ(messages_.messages, expected);
#ifdef TANDEMIX_TEST_WEB
        messages_.messages.clear();
        CompareRequest web = Request();
        web.inputs[0] = "http://127.0.0.1:1/a";
        web.inputs[1] = "http://127.0.0.1:1/b";
        CancellingPrompt prompt;
        RefusingCertificateQuestion refusing;
        EXPECT_TRUE(CompareWebPagesIntoReport(web, context, nullptr, FetchSettings{},
                                              FetchQuestions{prompt, refusing})
                        .containerPath.empty());
        EXPECT_EQ(messages_.messages, expected);
#endif
    }
}

// With the output folder inside an input folder, the lock and the part files lie among the
// inputs while they are listed; they are the program's own and never differences.
TEST_F(CompareCommandTest, ItsOwnWorkingFilesAreNoDifferences) {
    inputs_.Write("a/same.txt", "x\n");
    inputs_.Write("b/same.txt", "x\n");
    inputs_.Write("b/" + std::string(kPartPrefix) + "4242-0-~tandemixtop.htm", "left over");
    const CompareRequest request{.inputs = {inputs_.Path() + "/a", inputs_.Path() + "/b"},
                                 .choices = {.folderComparison = FolderComparison::ByContents}};
    const CompareOutcome outcome = CompareIntoReport(request, Context(request.inputs[0]), nullptr);
    EXPECT_FALSE(outcome.containerPath.empty());
    EXPECT_EQ(outcome.run.differenceCount, 0u);
}

}  // namespace
}  // namespace tandemix
