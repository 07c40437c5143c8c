#include "run/CompareCommand.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "base/Messages.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#ifdef TANDEMIX_TEST_WEB
#include "run/WebComparison.h"
#endif

namespace tandemix {
namespace {

using testing::RecordingDebugLog;
using testing::RecordingMessageSink;
using testing::TempDir;

class CompareCommandTest : public ::testing::Test {
protected:
    CompareRequest Request() const {
        CompareRequest request;
        request.input1 = inputs_.Write("one.txt", "a\n");
        request.input2 = inputs_.Write("two.txt", "b\n");
        return request;
    }

    TempDir inputs_;
    TempDir output_;
    RecordingMessageSink messages_;
    RecordingDebugLog log_;
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
        const RunContext context{c.folder, CodePage::None, messages_, log_};
        messages_.messages.clear();
        EXPECT_TRUE(RunCompareCommand(Request(), context, nullptr).containerPath.empty());
        EXPECT_EQ(messages_.messages, expected);
#ifdef TANDEMIX_TEST_WEB
        messages_.messages.clear();
        CompareRequest web = Request();
        web.input1 = "http://127.0.0.1:1/a";
        web.input2 = "http://127.0.0.1:1/b";
        CancellingPrompt prompt;
        RefusingCertificateQuestion refusing;
        EXPECT_TRUE(RunWebCompareCommand(web, context, nullptr, FetchSettings{},
                                         FetchQuestions{prompt, refusing})
                        .containerPath.empty());
        EXPECT_EQ(messages_.messages, expected);
#endif
    }
}

}  // namespace
}  // namespace tandemix
