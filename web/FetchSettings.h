#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tandemix {

enum class Redirects { Follow, Keep };

// Whether a server certificate must be valid in every respect, or may name another host or
// lie outside its dates (never: come from an unknown issuer).
enum class CertificateCheck { Full, AcceptNameAndDateErrors };

// How a web page is fetched. The defaults are the ones users get; tests shorten the limits
// so that a hostile server is dealt with in seconds.
struct FetchSettings {
    // Pages up to this size are held in memory whole; a larger one is refused.
    static constexpr std::uint64_t kDefaultBodyCap = std::uint64_t{1} << 30;

    Redirects redirects = Redirects::Keep;
    // More hops than this end the fetch; a redirect loop would otherwise never finish.
    long maxRedirects = 20;
    // Certificate authorities to trust instead of the system's; empty for the system's.
    std::string caBundlePath;
    CertificateCheck certificateCheck = CertificateCheck::Full;
    std::chrono::milliseconds connectTimeout{60'000};
    // The transfer is abandoned when no byte at all arrives for this long.
    std::chrono::milliseconds idleTimeout{60'000};
    // A body with more bytes than this (counted before bytes 0x00 are dropped) fails the
    // fetch; it also ends a server that streams without end.
    std::uint64_t bodyCap = kDefaultBodyCap;
    std::string userAgent = "Tandemix";
};

}  // namespace tandemix
