#pragma once

#include <curl/curl.h>

#include <optional>
#include <string_view>

#include "web/FetchFailure.h"
#include "web/FetchSettings.h"

namespace tandemix::web_detail {

// The first thing the chain check of a connection found wrong.
enum class ChainFault { None, Expired, NotYetValid, OtherName, UnknownIssuer, Other };

// What the certificate check of one transfer is asked to do and what it saw.
struct TlsCheck {
    CertificateCheck mode = CertificateCheck::Full;
    ChainFault firstFault = ChainFault::None;
    bool chainPassed = false;  // the server's certificate passed the chain check
};

// Sets up certificate checking on an easy handle. The chain must always lead to a trusted
// authority; a certificate for another name or outside its validity dates is accepted only
// when the check asks for that. An empty bundle path keeps the system's authorities. The
// check must outlive the transfers of the handle.
CURLcode ApplyTlsPolicy(CURL* handle, const char* caBundlePath, TlsCheck& check);

// For a transfer that failed: the German reason when nothing but the certificate's name or
// dates stood in the way, so that accepting those would have let the page through.
std::optional<std::string_view> ForgivableReason(CURLcode result, const TlsCheck& check);

// For a transfer that failed: what was wrong with the certificate, when it was the
// certificate that stood in the way.
std::optional<CertificateFault> CertificateFaultOf(CURLcode result, const TlsCheck& check);

}  // namespace tandemix::web_detail
