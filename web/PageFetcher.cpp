#include "web/PageFetcher.h"

#include "web/WebAddress.h"

namespace tandemix {
namespace {

// A transfer that went well can still leave no page: this says why.
FetchFailure VerdictFailure(BodyVerdict verdict, const PageBody& body) {
    FetchFailure failure;
    switch (verdict) {
        case BodyVerdict::Empty:
            failure.kind = FetchFailureKind::Empty;
            break;
        case BodyVerdict::OverCap:
            failure.kind = FetchFailureKind::TooLarge;
            failure.bodyCap = body.Cap();
            break;
        case BodyVerdict::NotWritten:
            failure.kind = FetchFailureKind::NotWritten;
            failure.errorNumber = body.Error();
            break;
        case BodyVerdict::Incomplete:
        case BodyVerdict::Stored:
            failure.kind = FetchFailureKind::Broken;
            break;
    }
    return failure;
}

}  // namespace

FetchResult FetchPageToFile(std::string_view address, const std::string& temporaryPath,
                            const FetchSettings& settings, CredentialsPrompt& prompt) {
    FetchResult result;
    result.path = kFetchFailed;
    PageBody body(temporaryPath, settings.bodyCap);
    if (!body.Ready()) {
        result.failure.kind = FetchFailureKind::NotWritten;
        result.failure.errorNumber = body.Error();
        return result;
    }
    const DownloadResult download = DownloadPage(CompleteAddress(address), settings, prompt, body);
    result.httpStatus = download.httpStatus;
    result.certificateProblem = download.certificateProblem;
    const TransferEnd end =
        download.status == DownloadStatus::Complete ? TransferEnd::Complete : TransferEnd::Broken;
    const BodyVerdict verdict = body.Finish(end);
    if (verdict == BodyVerdict::Stored) {
        result.path = temporaryPath;
    } else if (download.failure) {
        result.failure = download.failure;
    } else {
        result.failure = VerdictFailure(verdict, body);
    }
    return result;
}

}  // namespace tandemix
