#include "web/TlsPolicy.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace tandemix::web_detail {
namespace {

// libcurl can only switch certificate checking off as a whole, so the date errors are
// forgiven here, one by one, and every other error still fails the handshake. Clearing the
// error matters: libcurl reads the final verdict from the connection afterwards.
int ForgiveDateErrors(int preverified, X509_STORE_CTX* store) {
    if (preverified == 1) {
        return 1;
    }
    const int error = X509_STORE_CTX_get_error(store);
    if (error == X509_V_ERR_CERT_HAS_EXPIRED || error == X509_V_ERR_CERT_NOT_YET_VALID) {
        X509_STORE_CTX_set_error(store, X509_V_OK);
        return 1;
    }
    return 0;
}

CURLcode InstallVerifyCallback(CURL*, void* sslContext, void*) {
    SSL_CTX_set_verify(static_cast<SSL_CTX*>(sslContext), SSL_VERIFY_PEER, ForgiveDateErrors);
    return CURLE_OK;
}

}  // namespace

CURLcode ApplyTlsPolicy(CURL* handle, const char* caBundlePath) {
    CURLcode result = curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    // The name check is libcurl's own, separate from the chain check.
    if (result == CURLE_OK) {
        result = curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (result == CURLE_OK) {
        result = curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, InstallVerifyCallback);
    }
    if (result == CURLE_OK && caBundlePath != nullptr && *caBundlePath != '\0') {
        result = curl_easy_setopt(handle, CURLOPT_CAINFO, caBundlePath);
    }
    return result;
}

}  // namespace tandemix::web_detail
