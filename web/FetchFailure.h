#pragma once

#include <cstdint>
#include <string>

#include "web/CredentialsPrompt.h"

namespace tandemix {

// Why a fetch left nothing to compare. The front end words it for the user.
enum class FetchFailureKind {
    None,
    InvalidAddress,     // cannot be split, or names a scheme other than http and https
    HostNotFound,       // see host
    ProxyNotFound,      // see host
    ConnectionRefused,  // see host
    NoConnection,       // the host or its network cannot be reached; see host
    Timeout,            // nothing or too little arrived in time, or the whole took too long
    Broken,             // the transfer broke off, or the answer was not HTTP
    Certificate,        // see certificateFault and host
    TlsFailed,          // the TLS handshake failed for another reason than the certificate
    LoginRequired,      // a 401 or 407 that no credentials answered; see requester
    LoginElsewhere,     // a redirect led to a 401 of another origin; see host and namedOrigin
    TooManyRedirects,
    RedirectRefused,  // a redirect to a scheme other than http and https, or to no address
    TooLarge,         // see bodyCap
    NotWritten,       // the page could not be written to its file; see errorNumber
    Empty,            // the answer had no body (or nothing but bytes 0x00)
    Other,            // see detail
};

// What the check found wrong with the server's certificate.
enum class CertificateFault { Expired, NotYetValid, OtherName, UnknownIssuer, Untrusted };

struct FetchFailure {
    FetchFailureKind kind = FetchFailureKind::None;
    // The host the failure concerns; for LoginElsewhere the origin that asked for the login
    // ("scheme://host:port").
    std::string host;
    std::string namedOrigin;  // LoginElsewhere: the only origin the credentials go to
    AuthRequester requester = AuthRequester::Server;
    CertificateFault certificateFault = CertificateFault::Untrusted;
    std::uint64_t bodyCap = 0;
    int errorNumber = 0;
    std::string detail;  // libcurl's own words, for Other

    explicit operator bool() const { return kind != FetchFailureKind::None; }
};

}  // namespace tandemix
