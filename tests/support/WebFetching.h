#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"
#include "web/PageFetcher.h"

namespace tandemix::testing {

// Limits short enough that a stalled or endless server costs a test two seconds.
FetchSettings QuickSettings();

// One DownloadPage into a body of its own: how it ended, and the page when the body was
// stored.
struct Downloaded {
    DownloadResult result;
    std::optional<std::string> page;
};
Downloaded DownloadToText(const std::string& url, const FetchSettings& settings,
                          CredentialsPrompt& prompt);

class RecordingPrompt final : public CredentialsPrompt {
public:
    std::optional<Credentials> Ask(std::string_view url, AuthRequester requester) override {
        asked.emplace_back(std::string(url), requester);
        return answer;
    }

    std::optional<Credentials> answer;  // std::nullopt: the user cancels
    std::vector<std::pair<std::string, AuthRequester>> asked;
};

// The machine's proxy settings must not reach the loopback servers; a test may set its own.
class ProxyEnvironment {
public:
    void UseProxy(const std::string& url) {
        environment_.Set("http_proxy", url.c_str());
        environment_.Set("https_proxy", url.c_str());
    }

private:
    ScopedEnvironment environment_{"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                   "ALL_PROXY",  "no_proxy",    "NO_PROXY"};
};

// What the web tests share: no proxy of the machine's, a folder for the servers' files,
// quick limits and a prompt that records what it is asked.
class WebTest : public ::testing::Test {
protected:
    ProxyEnvironment environment_;
    TempDir root_;
    FetchSettings settings_ = QuickSettings();
    RecordingPrompt prompt_;
};

}  // namespace tandemix::testing
