#pragma once

#include <string>
#include <string_view>

#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"

namespace tandemix {

// What FetchPageToFile returns instead of a path when there is nothing to compare.
inline constexpr std::string_view kFetchFailed = "ERROR";

enum class DownloadStatus {
    Complete,     // the whole answer arrived, whatever its status code
    Interrupted,  // the transfer failed; the content keeps what arrived, if anything
    Refused,      // no content: unusable URL, cancelled prompt, body over the cap
};

// One GET of the URL. The answer's body is appended to the content with every byte 0x00
// dropped, whatever the status code. On 401 or 407 the prompt is asked once; with its
// answer the request is sent again and that answer's body is kept.
DownloadStatus DownloadPage(std::string_view url, const FetchSettings& settings,
                            CredentialsPrompt& prompt, std::string& content);

// Fetches the address as typed into a file created anew at the temporary path. Returns that
// path, or kFetchFailed when the page is empty, cannot be fetched or the file cannot be
// written.
std::string FetchPageToFile(std::string_view address, const std::string& temporaryPath,
                            const FetchSettings& settings, CredentialsPrompt& prompt);

}  // namespace tandemix
