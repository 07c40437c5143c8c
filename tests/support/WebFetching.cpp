#include "support/WebFetching.h"

#include <chrono>

#include "support/TempDir.h"

namespace tandemix::testing {

FetchSettings QuickSettings() {
    FetchSettings settings;
    settings.connectTimeout = std::chrono::seconds(2);
    settings.idleTimeout = std::chrono::seconds(2);
    return settings;
}

Downloaded DownloadToText(const std::string& url, const FetchSettings& settings,
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

}  // namespace tandemix::testing
