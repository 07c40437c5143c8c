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
    // A larger page is refused; it is written to its file as it arrives, never held whole.
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
    // ... and when fewer than lowSpeedBytes arrive within lowSpeedTime, so that a server
    // that drips a few bytes now and then cannot hold the fetch for ever.
    std::uint64_t lowSpeedBytes = 1024;
    std::chrono::seconds lowSpeedTime{60};
    // However the bytes come, one request that takes longer than this is abandoned: half an
    // hour is far beyond any page a person compares, also on a slow line.
    std::chrono::milliseconds totalTimeout{std::chrono::minutes(30)};
    // A body with more bytes than this (counted before bytes 0x00 are dropped) fails the
    // fetch; it also ends a server that streams without end.
    std::uint64_t bodyCap = kDefaultBodyCap;
    std::string userAgent = "Tandemix";
};

}  // namespace tandemix
