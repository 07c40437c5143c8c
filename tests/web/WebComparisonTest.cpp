#include "run/WebComparison.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "LoopbackServer.h"
#include "WebTestSupport.h"
#include "base/Messages.h"
#include "support/RecordingDebugLog.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "web/PageFetcher.h"

namespace tandemix {
namespace {

using testing::Endpoint;
using testing::LoopbackServer;
using testing::ProxyEnvironment;
using testing::ReadWholeFile;
using testing::RecordingPrompt;
using testing::TempDir;

class RecordingLauncher final : public ContainerLauncher {
public:
    bool Launch(LaunchAttempt, const std::string& containerPath) override {
        launched.push_back(containerPath);
        return true;
    }
    std::vector<std::string> launched;
};

class ThrowingPrompt final : public CredentialsPrompt {
public:
    std::optional<Credentials> Ask(std::string_view, AuthRequester) override {
        throw std::runtime_error("the prompt broke");
    }
};

class WebComparisonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << "the loopback server did not start";
        root_.Write("a.html", "<p>one</p>\n<p>two</p>\n");
        root_.Write("b.html", "<p>one</p>\n<p>2</p>\n");
    }

    CompareOutcome Run(const std::string& input1, const std::string& input2,
                       CredentialsPrompt& prompt) {
        CompareRequest request;
        request.input1 = input1;
        request.input2 = input2;
        request.followRedirects = true;
        const RunContext context{output_.Path(), CodePage::None, messages_, log_};
        return RunWebCompareCommand(request, context, &launcher_, testing::QuickSettings(), prompt);
    }
    bool TemporaryFilesGone() const {
        return !std::filesystem::exists(output_.Path() + "/~tandemixurl1") &&
               !std::filesystem::exists(output_.Path() + "/~tandemixurl2");
    }

    ProxyEnvironment environment_;
    TempDir root_;
    TempDir output_;
    LoopbackServer server_{root_.Path(), {Endpoint{}}};
    testing::RecordingMessageSink messages_;
    testing::RecordingDebugLog log_;
    RecordingLauncher launcher_;
    RecordingPrompt prompt_;
};

TEST_F(WebComparisonTest, PagesAreFetchedSecondFirstComparedUnderTheirAddressesAndRemoved) {
    const std::string address1 =
        server_.Url("/respond?status=302&location=/files/a.html&body=moved");
    const std::string address2 = server_.Url("/files/b.html");
    const CompareOutcome outcome = Run(address1, address2, prompt_);

    ASSERT_TRUE(outcome.run.written) << ::testing::PrintToString(messages_.messages);
    EXPECT_EQ(outcome.run.differenceCount, 1);
    EXPECT_EQ(launcher_.launched, std::vector<std::string>{outcome.containerPath});
    const std::string top = ReadWholeFile(output_.Path() + "/~tandemixtop.htm");
    EXPECT_NE(top.find("127.0.0.1:" + std::to_string(server_.Port()) + "/files/b.html"),
              std::string::npos);
    EXPECT_NE(top.find("/respond?status=302&amp;location="), std::string::npos);
    EXPECT_TRUE(TemporaryFilesGone());

    std::string log;
    DownloadPage(server_.Url("/log"), testing::QuickSettings(), prompt_, log);
    EXPECT_EQ(log,
              "/files/b.html\n/respond?status=302&location=/files/a.html&body=moved\n"
              "/files/a.html\n");
}

// A file called "ERROR" where the command runs must not stand in for a failed page.
TEST_F(WebComparisonTest, PageThatCannotBeFetchedIsAMissingInput) {
    const TempDir workingFolder;
    workingFolder.Write("ERROR", "not a web page");
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(workingFolder.Path());
    const CompareOutcome outcome =
        Run(server_.Url("/files/a.html"), server_.Url("/respond?status=404"), prompt_);
    std::filesystem::current_path(previous);

    EXPECT_FALSE(outcome.run.written);
    EXPECT_EQ(messages_.messages, std::vector<std::string>{std::string(messages::kInput2Missing)});
    EXPECT_TRUE(launcher_.launched.empty());
    EXPECT_TRUE(TemporaryFilesGone());
}

TEST_F(WebComparisonTest, TemporaryFilesAreRemovedWhenAnExceptionLeavesTheCommand) {
    ThrowingPrompt prompt;
    EXPECT_THROW(Run(server_.Url("/basic"), server_.Url("/files/b.html"), prompt),
                 std::runtime_error);
    EXPECT_TRUE(TemporaryFilesGone());
}

}  // namespace
}  // namespace tandemix
