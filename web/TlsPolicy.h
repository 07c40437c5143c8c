#pragma once

#include <curl/curl.h>

namespace tandemix::web_detail {

// Sets up certificate checking on an easy handle: the chain must lead to a trusted
// authority, but a certificate for another name or outside its validity dates is accepted,
// as users of the original tool are used to. An empty bundle path keeps the system's
// authorities.
CURLcode ApplyTlsPolicy(CURL* handle, const char* caBundlePath);

}  // namespace tandemix::web_detail
