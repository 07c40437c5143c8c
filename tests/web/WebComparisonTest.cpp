#include "run/Comparison.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "base/Messages.h"
#include "support/LoopbackServer.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "support/TestCertificates.h"
#include "support/WebFetching.h"
#include "web/PageFetcher.h"
#include "web/WebAddress.h"
#include "web/WebRetrieval.h"

namespace tandemix {
namespace {

using testing::Endpoint;
using testing::LoopbackServer;
using testing::ReadWholeFile;
using testing::TempDir;

class RecordingQuestion final : public CertificateQuestion {
public:
    bool AcceptInvalidCertificate(const CertificateProblem& problem) override {
        asked.push_back(CertificateQuestionText(problem));
        return answer;
    }
    bool answer = false;
    std::vector<std::string> asked;
};

class ThrowingPrompt final : public CredentialsPrompt {
public:
    std::optional<Credentials> Ask(std::string_view, AuthRequester) override {
        throw std::runtime_error("the prompt broke");
    }
};

class WebComparisonTest : public testing::WebTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(certificates_.Ready()) << "openssl could not make the test certificates";
        ASSERT_TRUE(server_.Ready()) << "the loopback server did not start";
        root_.Write("a.html", "<p>one</p>\n<p>two</p>\n");
        root_.Write("b.html", "<p>one</p>\n<p>2</p>\n");
    }

    CompareOutcome Run(const std::string& input1, const std::string& input2,
                       const ComparisonOptions& options = {}, CredentialsPrompt* prompt = nullptr) {
        CompareRequest request;
        request.options = options;
        request.inputs[0] = input1;
        request.inputs[1] = input2;
        request.followRedirects = true;
        const RunContext context{output_.Path(), CodePage::None, messages_, log_};
        FetchSettings settings = settings_;
        settings.caBundlePath = certificates_.CaBundle();
        return CompareWebPagesIntoReport(request, context, &launcher_, settings,
                                         FetchQuestions{prompt ? *prompt : prompt_, question_},
                                         tandemix_web_retrieval());
    }
    bool TemporaryFilesGone() const {
        return !std::filesystem::exists(output_.Path() + "/~tandemixurl1") &&
               !std::filesystem::exists(output_.Path() + "/~tandemixurl2");
    }

    TempDir output_;
    testing::TestCertificates certificates_{root_.Path()};
    // Plain, then TLS with a valid, an expired and a stranger's certificate.
    LoopbackServer server_{root_.Path(),
                           {Endpoint{},
                            {0, certificates_.Identity(testing::Certificate::Trusted)},
                            {0, certificates_.Identity(testing::Certificate::Expired)},
                            {0, certificates_.Identity(testing::Certificate::UnknownIssuer)}}};
    static constexpr std::size_t kTrusted = 1;
    static constexpr std::size_t kExpired = 2;
    static constexpr std::size_t kStranger = 3;
    RecordingQuestion question_;
    testing::RecordingMessageSink messages_;
    testing::RecordingDebugLog log_;
    testing::RecordingLauncher launcher_;
};

TEST_F(WebComparisonTest, PagesAreFetchedSecondFirstComparedUnderTheirAddressesAndRemoved) {
    const std::string address1 =
        server_.Url("/respond?status=302&location=/files/a.html&body=moved");
    const std::string address2 = server_.Url("/files/b.html");
    const CompareOutcome outcome = Run(address1, address2);

    ASSERT_TRUE(outcome.run.written) << ::testing::PrintToString(messages_.messages);
    EXPECT_EQ(outcome.run.differenceCount, 1);
    ASSERT_EQ(launcher_.attempts.size(), 1u);
    EXPECT_EQ(launcher_.attempts[0].second, outcome.containerPath);
    const std::string top = ReadWholeFile(output_.Path() + "/~tandemixtop.htm");
    EXPECT_NE(top.find("127.0.0.1:" + std::to_string(server_.Port()) + "/files/b.html"),
              std::string::npos);
    EXPECT_NE(top.find("/respond?status=302&amp;location="), std::string::npos);
    EXPECT_TRUE(TemporaryFilesGone());

    const std::optional<std::string> log =
        testing::DownloadToText(server_.Url("/log"), testing::QuickSettings(), prompt_).page;
    EXPECT_EQ(log,
              "/files/b.html\n/respond?status=302&location=/files/a.html&body=moved\n"
              "/files/a.html\n");
}

// Two fetches of one live page differ in their nonce and build id only: two patterns make
// them equal, and the report still shows what each fetch said.
TEST_F(WebComparisonTest, PatternsLeaveOutWhatChangesOnEveryFetch) {
    const std::string address = server_.Url("/fresh");
    ComparisonOptions options;
    options.breakAfterEachTag = true;
    EXPECT_GT(Run(address, address, options).run.differenceCount, 0);
    options.ignoredText = {"nonce=\"[^\"]*\"", "data-build=\"[0-9a-f]+\""};
    const CompareOutcome outcome = Run(address, address, options);
    ASSERT_TRUE(outcome.run.written) << ::testing::PrintToString(messages_.messages);
    EXPECT_EQ(outcome.run.differenceCount, 0);
    EXPECT_NE(ReadWholeFile(output_.Path() + "/~tandemix1.htm").find("nonce="), std::string::npos);
}

struct FailureCase {
    const char* name;
    std::string address;
    std::string reason;  // the second line of the message
};

// The message names the input that could not be fetched and, on a line of its own, why. A
// file called "ERROR" where the command runs must not stand in for a failed page.
TEST_F(WebComparisonTest, PageNotFetchedIsAMissingInputWhoseMessageSaysWhy) {
    settings_.bodyCap = 64;
    const TempDir workingFolder;
    workingFolder.Write("ERROR", "not a web page");
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(workingFolder.Path());
    const std::string redirect = "/respond?status=302&location=";
    const FailureCase cases[] = {
        {"refused", "http://127.0.0.1:1/", "Verbindung abgelehnt: 127.0.0.1."},
        {"empty", server_.Url("/respond?status=404"), "Die Seite ist leer."},
        {"timeout", server_.Url("/stall-headers"),
         "Zeit\xC3\xBC"
         "berschreitung."},
        {"too large", server_.Url("/sized?n=65"),
         "Die Seite ist gr\xC3\xB6\xC3\x9F"
         "er als 64 Bytes."},
        {"broken", server_.Url("/raw/chunks-cut-off"),
         "Die \xC3\x9C"
         "bertragung ist abgebrochen oder fehlerhaft."},
        {"redirect loop", server_.Url("/loop"), "Zu viele Weiterleitungen."},
        {"redirect to a file", server_.Url(redirect + "file:///etc/hostname"),
         "Weiterleitung abgelehnt: das Ziel ist keine g\xC3\xBCltige http- oder https-Adresse."},
        {"login", server_.Url("/basic"), "Der Server verlangt eine Anmeldung."},
        {"login elsewhere", server_.Url(redirect + server_.Url("/basic", kTrusted)),
         "Weiterleitung abgelehnt: " + server_.Url("", kTrusted) +
             " verlangt eine Anmeldung, Zugangsdaten gehen nur an " + server_.Url("") + "."},
        {"not http", "ftp://127.0.0.1/",
         "Die Adresse ist keine g\xC3\xBCltige http- oder https-Adresse."},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.messages.clear();
        const CompareOutcome outcome = Run(c.address, server_.Url("/files/b.html"));
        EXPECT_FALSE(outcome.run.written);
        EXPECT_EQ(messages_.messages,
                  std::vector{messages::InputMissing(1, DisplayAddress(c.address), c.reason)});
        EXPECT_TRUE(launcher_.attempts.empty());
        EXPECT_TRUE(TemporaryFilesGone());
    }
    std::filesystem::current_path(previous);
}

TEST_F(WebComparisonTest, TemporaryFilesAreRemovedWhenAnExceptionLeavesTheCommand) {
    ThrowingPrompt prompt;
    EXPECT_THROW(Run(server_.Url("/basic"), server_.Url("/files/b.html"), {}, &prompt),
                 std::runtime_error);
    EXPECT_TRUE(TemporaryFilesGone());
}

TEST_F(WebComparisonTest, ErrorPagesAreComparedAndTheirStatusesReported) {
    const CompareOutcome notFound =
        Run(server_.Url("/respond?status=404&body=gone"), server_.Url("/files/b.html"));
    EXPECT_TRUE(notFound.run.written) << ::testing::PrintToString(messages_.messages);
    EXPECT_EQ(notFound.pageStatus, (std::array<int, 2>{404, 200}));

    prompt_.answer = Credentials{"tandem", "wrong"};
    const CompareOutcome refusedAgain = Run(server_.Url("/files/a.html"), server_.Url("/basic"));
    EXPECT_TRUE(refusedAgain.run.written);
    EXPECT_EQ(refusedAgain.pageStatus, (std::array<int, 2>{200, 401}));
    EXPECT_TRUE(messages_.messages.empty());
}

// The password typed into an address is used for the fetch but not written into the report,
// in every form of address that libcurl reads a password from.
TEST_F(WebComparisonTest, PasswordInAnAddressIsMaskedInTheTitleAndNamesRow) {
    const std::string rest = "tandem:s3cret@127.0.0.1:" + std::to_string(server_.Port());
    for (const char* scheme : {"http://", "http:/", "http:///", "http:/\\"}) {
        SCOPED_TRACE(scheme);
        const CompareOutcome outcome =
            Run(scheme + rest + "/files/a.html", server_.Url("/files/b.html"));
        ASSERT_TRUE(outcome.run.written) << ::testing::PrintToString(messages_.messages);
        const std::string top = ReadWholeFile(output_.Path() + "/~tandemixtop.htm");
        EXPECT_NE(top.find(scheme + std::string("tandem:***@127.0.0.1:")), std::string::npos);
        EXPECT_EQ(top.find("s3cret"), std::string::npos);
    }
}

struct QuestionCase {
    const char* name;
    std::size_t endpoint1;
    std::size_t endpoint2;
    bool answer;
    std::size_t asked;
    std::string missing;  // the message for a page not fetched; empty when both were
};

// The question comes once per comparison, for the first page that needs it; its answer
// holds for the other page too.
TEST_F(WebComparisonTest, CertificateQuestionIsAskedOncePerComparison) {
    const std::string certificate = "Das Zertifikat von 127.0.0.1 ist ung\xC3\xBCltig ";
    const std::string expired = certificate + "(abgelaufen).";
    const std::string missing1 = std::string(messages::kInput1Missing) + "\n" +
                                 server_.Url("/files/a.html", kExpired) + ": ";
    const std::string missing2 = std::string(messages::kInput2Missing) + "\n" +
                                 server_.Url("/files/b.html", kExpired) + ": ";
    const QuestionCase cases[] = {
        {"both expired, yes", kExpired, kExpired, true, 1, ""},
        {"both expired, no", kExpired, kExpired, false, 1, missing1 + expired},
        {"page 1 expired, yes", kExpired, kTrusted, true, 1, ""},
        {"page 2 expired, no", kTrusted, kExpired, false, 1, missing2 + expired},
        {"unknown issuer", kStranger, kTrusted, true, 0,
         std::string(messages::kInput1Missing) + "\n" + server_.Url("/files/a.html", kStranger) +
             ": " + certificate + "(unbekannter Aussteller)."},
    };
    for (const QuestionCase& c : cases) {
        SCOPED_TRACE(c.name);
        question_.answer = c.answer;
        question_.asked.clear();
        messages_.messages.clear();
        const CompareOutcome outcome = Run(server_.Url("/files/a.html", c.endpoint1),
                                           server_.Url("/files/b.html", c.endpoint2));
        EXPECT_EQ(question_.asked, std::vector<std::string>(c.asked, expired + " Trotzdem laden?"));
        EXPECT_EQ(messages_.messages, c.missing.empty() ? std::vector<std::string>{}
                                                        : std::vector{std::string(c.missing)});
        EXPECT_EQ(outcome.run.written, c.missing.empty());
        EXPECT_TRUE(TemporaryFilesGone());
    }
}

}  // namespace
}  // namespace tandemix
