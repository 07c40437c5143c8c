#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "web/CertificateQuestion.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchFailure.h"
#include "web/FetchSettings.h"
#include "web/PageBody.h"

namespace tandemix {

// What FetchPageToFile returns instead of a path when there is nothing to compare.
inline constexpr std::string_view kFetchFailed = "ERROR";

enum class DownloadStatus {
    Complete,     // the whole answer arrived, whatever its status code
    Interrupted,  // the transfer broke off, stalled, went too slowly or took too long
    Refused,      // nothing to keep: unusable URL, cancelled prompt, certificate, over the cap
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::Refused;
    int httpStatus = 0;  // of the last answer; 0 when none came
    // Set when the certificate failed only for its name or dates, and the check was full.
    std::optional<CertificateProblem> certificateProblem;
    // Why the transfer did not complete; none when it did.
    FetchFailure failure;
};

// One GET of the URL; the answer's body goes to the body as it arrives, whatever the status
// code. On 401 or 407 the prompt is asked once; with its answer the request is sent again
// from the URL and the body starts over with that answer. Credentials go only to the
// scheme, host and port of the URL: a 401 that a redirect brought from another origin is
// refused without asking. The body is not finished here.
DownloadResult DownloadPage(std::string_view url, const FetchSettings& settings,
                            CredentialsPrompt& prompt, PageBody& body);

struct FetchResult {
    std::string path;    // the temporary path, or kFetchFailed
    int httpStatus = 0;  // of the answer fetched; 0 when none came
    std::optional<CertificateProblem> certificateProblem;
    FetchFailure failure;  // why the path is kFetchFailed; none when it is not
};

// Fetches the address as typed into a file created anew at the temporary path. The path is
// kFetchFailed when the page is empty, incomplete, over the cap, cannot be fetched or the
// file cannot be written; no file is left behind then.
FetchResult FetchPageToFile(std::string_view address, const std::string& temporaryPath,
                            const FetchSettings& settings, CredentialsPrompt& prompt);

}  // namespace tandemix
