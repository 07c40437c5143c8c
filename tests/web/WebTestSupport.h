#pragma once

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/TempDir.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"
#include "web/PageFetcher.h"

namespace tandemix::testing {

// Limits short enough that a stalled or endless server costs a test two seconds.
inline FetchSettings QuickSettings() {
    FetchSettings settings;
    settings.connectTimeout = std::chrono::seconds(2);
    settings.idleTimeout = std::chrono::seconds(2);
    return settings;
}

// One DownloadPage into a body of its own: how it ended, and the page when the body was
// stored.
struct Downloaded {
    DownloadResult result;
    std::optional<std::string> page;
};

inline Downloaded DownloadToText(const std::string& url, const FetchSettings& settings,
                                 CredentialsPrompt& prompt) {
    const TempDir folder;
    const std::string path = folder.Path() + "/page";
    PageBody body(path, settings.bodyCap);
    Downloaded downloaded{DownloadPage(url, settings, prompt, body), std::nullopt};
    const TransferEnd end = downloaded.result.status == DownloadStatus::Complete
                                ? TransferEnd::Complete
                                : TransferEnd::Broken;
    if (body.Finish(end) == BodyVerdict::Stored) {
        downloaded.page = ReadWholeFile(path);
    }
    return downloaded;
}

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
    ProxyEnvironment() {
        for (const char* name : kNames) {
            if (const char* value = std::getenv(name)) {
                saved_.emplace_back(name, value);
            }
            ::unsetenv(name);
        }
    }
    ~ProxyEnvironment() {
        for (const char* name : kNames) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : saved_) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ProxyEnvironment(const ProxyEnvironment&) = delete;
    ProxyEnvironment& operator=(const ProxyEnvironment&) = delete;

    void UseProxy(const std::string& url) {
        ::setenv("http_proxy", url.c_str(), 1);
        ::setenv("https_proxy", url.c_str(), 1);
    }

private:
    static constexpr const char* kNames[] = {"http_proxy", "https_proxy", "HTTPS_PROXY",
                                             "all_proxy",  "ALL_PROXY",   "no_proxy",
                                             "NO_PROXY"};
    std::vector<std::pair<std::string, std::string>> saved_;
};

}  // namespace tandemix::testing
