#include "web/PageFetcher.h"

#include "web/WebAddress.h"

namespace tandemix {

FetchResult FetchPageToFile(std::string_view address, const std::string& temporaryPath,
                            const FetchSettings& settings, CredentialsPrompt& prompt) {
    FetchResult result;
    result.path = kFetchFailed;
    PageBody body(temporaryPath, settings.bodyCap);
    if (!body.Ready()) {
        return result;
    }
    const DownloadResult download = DownloadPage(CompleteAddress(address), settings, prompt, body);
    result.httpStatus = download.httpStatus;
    result.certificateProblem = download.certificateProblem;
    const TransferEnd end =
        download.status == DownloadStatus::Complete ? TransferEnd::Complete : TransferEnd::Broken;
    if (body.Finish(end) == BodyVerdict::Stored) {
        result.path = temporaryPath;
    }
    return result;
}

}  // namespace tandemix
