#include "web/TlsPolicy.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include "web/CertificateQuestion.h"

namespace tandemix::web_detail {
namespace {

// Where the connection's context keeps the check of its transfer.
int CheckIndex() {
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

TlsCheck* CheckOf(X509_STORE_CTX* store) {
    const auto* ssl = static_cast<const SSL*>(
        X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    if (ssl == nullptr) {
        return nullptr;
    }
    return static_cast<TlsCheck*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), CheckIndex()));
}

ChainFault FaultOf(int error) {
    switch (error) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return ChainFault::Expired;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return ChainFault::NotYetValid;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return ChainFault::OtherName;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return ChainFault::UnknownIssuer;
        default:
            return ChainFault::Other;
    }
}

// Called for every certificate of the chain, the server's own last (depth 0). libcurl can
// only switch checking off as a whole, so the date errors are forgiven here, one by one, when
// the check allows it, and every other error still fails the handshake. Clearing the error
// matters: libcurl reads the final verdict from the connection afterwards.
int VerifyCertificate(int preverified, X509_STORE_CTX* store) {
    TlsCheck* check = CheckOf(store);
    if (check == nullptr) {
        return preverified;
    }
    if (preverified == 1) {
        if (X509_STORE_CTX_get_error_depth(store) == 0) {
            check->chainPassed = true;
        }
        return 1;
    }
    const ChainFault fault = FaultOf(X509_STORE_CTX_get_error(store));
    if (check->firstFault == ChainFault::None) {
        check->firstFault = fault;
    }
    const bool forgiven = check->mode == CertificateCheck::AcceptNameAndDateErrors &&
                          (fault == ChainFault::Expired || fault == ChainFault::NotYetValid);
    if (!forgiven) {
        return 0;
    }
    X509_STORE_CTX_set_error(store, X509_V_OK);
    return 1;
}

CURLcode InstallVerifyCallback(CURL*, void* sslContext, void* check) {
    auto* context = static_cast<SSL_CTX*>(sslContext);
    if (CheckIndex() < 0 || SSL_CTX_set_ex_data(context, CheckIndex(), check) != 1) {
        return CURLE_SSL_CERTPROBLEM;
    }
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, VerifyCertificate);
    return CURLE_OK;
}

}  // namespace

CURLcode ApplyTlsPolicy(CURL* handle, const char* caBundlePath, TlsCheck& check) {
    const bool full = check.mode == CertificateCheck::Full;
    CURLcode result = curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    // The name check is libcurl's own, separate from the chain check.
    if (result == CURLE_OK) {
        result = curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, full ? 2L : 0L);
    }
    if (result == CURLE_OK) {
        result = curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, InstallVerifyCallback);
    }
    if (result == CURLE_OK) {
        result = curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &check);
    }
    if (result == CURLE_OK && caBundlePath != nullptr && *caBundlePath != '\0') {
        result = curl_easy_setopt(handle, CURLOPT_CAINFO, caBundlePath);
    }
    return result;
}

std::optional<std::string_view> ForgivableReason(CURLcode result, const TlsCheck& check) {
    if (result != CURLE_PEER_FAILED_VERIFICATION || check.mode != CertificateCheck::Full) {
        return std::nullopt;
    }
    switch (check.firstFault) {
        case ChainFault::Expired:
            return certificate_reasons::kExpired;
        case ChainFault::NotYetValid:
            return certificate_reasons::kNotYetValid;
        case ChainFault::OtherName:
            return certificate_reasons::kOtherName;
        case ChainFault::None:
            // The chain passed, so libcurl's own name check refused the certificate.
            if (check.chainPassed) {
                return certificate_reasons::kOtherName;
            }
            return std::nullopt;
        case ChainFault::UnknownIssuer:
        case ChainFault::Other:
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<CertificateFault> CertificateFaultOf(CURLcode result, const TlsCheck& check) {
    const bool refused =
        result == CURLE_PEER_FAILED_VERIFICATION ||
        (result == CURLE_SSL_CONNECT_ERROR && check.firstFault != ChainFault::None);
    if (!refused) {
        return std::nullopt;
    }
    switch (check.firstFault) {
        case ChainFault::Expired:
            return CertificateFault::Expired;
        case ChainFault::NotYetValid:
            return CertificateFault::NotYetValid;
        case ChainFault::OtherName:
            return CertificateFault::OtherName;
        case ChainFault::UnknownIssuer:
            return CertificateFault::UnknownIssuer;
        case ChainFault::None:
            return check.chainPassed ? CertificateFault::OtherName : CertificateFault::Untrusted;
        case ChainFault::Other:
            break;
    }
    return CertificateFault::Untrusted;
}

}  // namespace tandemix::web_detail
