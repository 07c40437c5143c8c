#include "web/PageFetcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "LoopbackServer.h"
#include "WebTestSupport.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::Endpoint;
using testing::LoopbackServer;
using testing::ProxyEnvironment;
using testing::ReadWholeFile;
using testing::RecordingPrompt;
using testing::TempDir;

class PageFetcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << "the loopback server did not start";
        root_.Write("target.txt", "target page");
    }

    // The fetched file's bytes, or std::nullopt when the fetch says "ERROR".
    std::optional<std::string> Fetch(std::string_view address) {
        const std::string result = FetchPageToFile(address, temporary_, settings_, prompt_);
        if (result == kFetchFailed) {
            return std::nullopt;
        }
        EXPECT_EQ(result, temporary_);
        return ReadWholeFile(result);
    }
    std::optional<std::string> FetchPath(std::string_view path) { return Fetch(server_.Url(path)); }

    ProxyEnvironment environment_;
    TempDir root_;
    TempDir work_;
    LoopbackServer server_{root_.Path(), {Endpoint{}}};
    std::string temporary_ = work_.Path() + "/~tandemixurl1";
    FetchSettings settings_ = testing::QuickSettings();
    RecordingPrompt prompt_;
};

TEST_F(PageFetcherTest, RequestAsksForAnyTypeFreshFromTheServer) {
    EXPECT_EQ(FetchPath("/echo?a=1"),
              "path=/echo?a=1\naccept=*/*\npragma=no-cache\ncache-control=no-cache\n"
              "user-agent=Tandemix\n");
}

// The proxy sees the URL the fetcher made of the typed address.
TEST_F(PageFetcherTest, AddressWithoutColonIsFetchedAsHttpThroughTheEnvironmentsProxy) {
    environment_.UseProxy(server_.Url(""));
    EXPECT_EQ(Fetch("pages.example/start.html"), "via proxy http://pages.example/start.html");
}

struct AnswerCase {
    const char* name;
    Redirects redirects;
    std::string path;
    std::optional<std::string> expected;  // std::nullopt: "ERROR"
};

TEST_F(PageFetcherTest, EveryStatusDeliversItsBodyAndRedirectsAreFollowedOnlyWhenAsked) {
    const std::string moved = "/respond?status=302&body=moved&location=";
    const std::vector<AnswerCase> cases = {
        {"followed", Redirects::Follow, moved + "/files/target.txt", "target page"},
        {"kept", Redirects::Keep, moved + "/files/target.txt", "moved"},
        {"kept without body", Redirects::Keep, "/respond?status=302&location=/files/target.txt",
         std::nullopt},
        {"to a local file", Redirects::Follow, moved + "file://" + root_.Path() + "/target.txt",
         std::nullopt},
        {"loop followed", Redirects::Follow, "/loop", std::nullopt},
        {"loop kept", Redirects::Keep, "/loop", "round and round"},
        {"not found", Redirects::Keep, "/respond?status=404&body=not here", "not here"},
        {"server error", Redirects::Keep, "/respond?status=500&body=broken", "broken"},
        {"empty", Redirects::Keep, "/respond?status=200", std::nullopt},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        settings_.redirects = c.redirects;
        EXPECT_EQ(FetchPath(c.path), c.expected);
    }
    EXPECT_TRUE(prompt_.asked.empty());
}

TEST_F(PageFetcherTest, BytesZeroAreDroppedAndEveryOtherByteKept) {
    std::string everyByte;
    std::string expected;
    for (int value = 0; value < 256; ++value) {
        everyByte += static_cast<char>(value);
        if (value != 0) {
            expected += static_cast<char>(value);
        }
    }
    root_.Write("bytes.bin", everyByte + std::string(3, '\0') + everyByte);
    EXPECT_EQ(FetchPath("/files/bytes.bin"), expected + expected);
}

struct AuthCase {
    const char* name;
    const char* path;
    std::optional<Credentials> answer;
    std::optional<std::string> expected;
    const char* refusingPath;  // the page the prompt is asked for
};

TEST_F(PageFetcherTest, RefusedPageAsksOnceAndKeepsWhatTheSecondRequestBrings) {
    const Credentials right{"tandem", "s3cret"};
    const Credentials wrong{"tandem", "guess"};
    const std::vector<AuthCase> cases = {
        {"basic answered", "/basic", right, "welcome basic", "/basic"},
        {"basic answered wrongly", "/basic", wrong, "wrong credentials", "/basic"},
        {"basic cancelled", "/basic", std::nullopt, std::nullopt, "/basic"},
        {"digest answered", "/digest", right, "welcome digest", "/digest"},
        {"digest answered wrongly", "/digest", wrong, "wrong credentials", "/digest"},
        {"digest cancelled", "/digest", std::nullopt, std::nullopt, "/digest"},
        {"behind a redirect", "/respond?status=302&location=/digest", right, "welcome digest",
         "/digest"},
    };
    settings_.redirects = Redirects::Follow;
    for (const AuthCase& c : cases) {
        SCOPED_TRACE(c.name);
        prompt_.asked.clear();
        prompt_.answer = c.answer;
        EXPECT_EQ(FetchPath(c.path), c.expected);
        ASSERT_EQ(prompt_.asked.size(), 1u);
        EXPECT_EQ(prompt_.asked[0].first, server_.Url(c.refusingPath));
        EXPECT_EQ(prompt_.asked[0].second, AuthRequester::Server);
    }
}

TEST_F(PageFetcherTest, ProxyThatWantsCredentialsIsAskedForThemOnce) {
    environment_.UseProxy(server_.Url(""));
    prompt_.answer = Credentials{"tandem", "s3cret"};
    EXPECT_EQ(Fetch("http://pages.example/proxy-auth"),
              "via proxy http://pages.example/proxy-auth");
    prompt_.answer.reset();
    EXPECT_EQ(Fetch("http://pages.example/proxy-auth"), std::nullopt);
    ASSERT_EQ(prompt_.asked.size(), 2u);
    EXPECT_EQ(prompt_.asked[0].second, AuthRequester::Proxy);
}

struct DownloadCase {
    const char* name;
    std::string path;
    DownloadStatus status;
    std::string appended;
};

// A transfer that breaks off or stalls keeps its part; one over the cap keeps nothing.
TEST_F(PageFetcherTest, DownloadTellsHowTheTransferEndedAndKeepsWhatCounts) {
    settings_.bodyCap = 65536;
    const std::vector<DownloadCase> cases = {
        {"complete", "/files/target.txt", DownloadStatus::Complete, "target page"},
        {"exactly the cap", "/sized?n=65536", DownloadStatus::Complete, std::string(65536, 'x')},
        {"hangs up early", "/partial", DownloadStatus::Interrupted, "partial-start"},
        {"stalls in the body", "/stall-body", DownloadStatus::Interrupted, "stalled-start"},
        {"stalls before answering", "/stall-headers", DownloadStatus::Interrupted, ""},
        {"over the cap, announced", "/sized?n=65537", DownloadStatus::Refused, ""},
        {"over the cap, unannounced", "/sized?n=65537&announce=no", DownloadStatus::Refused, ""},
        {"endless", "/endless", DownloadStatus::Refused, ""},
    };
    for (const DownloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string content = "before|";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(DownloadPage(server_.Url(c.path), settings_, prompt_, content), c.status);
        EXPECT_EQ(content, "before|" + c.appended);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  settings_.idleTimeout + std::chrono::seconds(2));
    }
}

TEST_F(PageFetcherTest, StalledServerIsGivenUpAfterTheIdleTimeoutNotBefore) {
    settings_.idleTimeout = std::chrono::milliseconds(1500);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchPath("/stall-headers"), std::nullopt);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1500));
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
}

TEST_F(PageFetcherTest, MalformedAnswersGiveErrorOrTheBodyWithoutHanging) {
    settings_.redirects = Redirects::Follow;
    for (const char* path :
         {"/raw/not-http", "/raw/bad-length", "/raw/negative-length", "/raw/huge-length",
          "/raw/two-lengths", "/raw/no-colon", "/raw/bad-status", "/raw/status-only",
          "/raw/bare-newlines", "/raw/nul-in-header", "/raw/bad-chunks", "/raw/huge-chunk",
          "/raw/long-header", "/raw/redirect-without-location", "/raw/redirect-to-nowhere",
          "/endless-headers"}) {
        SCOPED_TRACE(path);
        const std::optional<std::string> content = FetchPath(path);
        if (content) {
            EXPECT_NE(std::string_view("body").find(*content), std::string_view::npos);
        }
    }
}

TEST_F(PageFetcherTest, AddressesThatCannotBeFetchedGiveError) {
    const std::string port = std::to_string(server_.Port());
    for (const std::string& address :
         {std::string("http://"), "localhost:" + port + "/files/target.txt",
          "ftp://127.0.0.1:" + port + "/files/target.txt", std::string("\\\\server\\share\\a.htm"),
          std::string("file://") + root_.Path() + "/target.txt",
          std::string("http://127.0.0.1:1/")}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(Fetch(address), std::nullopt);
    }
}

TEST_F(PageFetcherTest, TemporaryFileIsCreatedAnewOrNotAtAll) {
    work_.Write("~tandemixurl1", "an older and much longer page");
    EXPECT_EQ(FetchPath("/files/target.txt"), "target page");

    // A stale file must not pass for the page when the fetch fails.
    EXPECT_EQ(FetchPath("/respond?status=200"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(temporary_));

    temporary_ = work_.Path() + "/missing/~tandemixurl1";
    EXPECT_EQ(FetchPath("/files/target.txt"), std::nullopt);
}

}  // namespace
}  // namespace tandemix
