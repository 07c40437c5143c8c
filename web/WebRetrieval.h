#pragma once

#include <string>
#include <string_view>

#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"
#include "web/PageFetcher.h"

// The web layer's code that needs libcurl and OpenSSL is built as a module of its own
// (tandemix-web.so), so that a program loads those libraries only when it fetches a page. The
// module offers this one table; see WebModule.h for how it is found.

namespace tandemix {

// Raised whenever the table or a type it passes changes, so that a module of another build
// is refused instead of called.
inline constexpr int kWebRetrievalVersion = 1;

struct WebRetrieval {
    int version = kWebRetrievalVersion;
    // See FetchPageToFile and DisplayAddress.
    FetchResult (*fetchPageToFile)(std::string_view address, const std::string& temporaryPath,
                                   const FetchSettings& settings,
                                   CredentialsPrompt& prompt) = nullptr;
    std::string (*displayAddress)(std::string_view address) = nullptr;
};

// The name under which the module exports its entry point.
inline constexpr const char* kWebRetrievalEntry = "tandemix_web_retrieval";

}  // namespace tandemix

// The module's entry point; programs that link the web layer's code in may call it directly.
// The table lives as long as the module.
extern "C" const tandemix::WebRetrieval* tandemix_web_retrieval();
