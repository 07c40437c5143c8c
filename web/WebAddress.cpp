#include "web/WebAddress.h"

#include <algorithm>
#include <cctype>

#include "web/CurlHandles.h"

namespace tandemix {
namespace {

using web_detail::CurlText;
using web_detail::UrlHandle;

std::optional<std::string> GetPart(CURLU* url, CURLUPart part, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK) {
        return std::nullopt;
    }
    const CurlText owned(text);
    return std::string(owned.get());
}

// Browsers send a typed space as "%20"; libcurl's own encoding would turn one in the query
// into "+", which servers need not read as a space.
std::string EncodeSpaces(std::string_view url) {
    std::string encoded;
    encoded.reserve(url.size());
    for (const char c : url) {
        if (c == ' ') {
            encoded += "%20";
        } else {
            encoded += c;
        }
    }
    return encoded;
}

// Masks by the text alone: the user part ends at the last "@" of the authority, the name at
// its first ":". This keeps what the report has always shown for ordinary addresses.
std::string MaskTypedPassword(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    const std::size_t authorityStart = schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t authorityEnd = address.find_first_of("/?#", authorityStart);
    const std::string_view authority =
        address.substr(authorityStart, authorityEnd - authorityStart);
    const std::size_t at = authority.rfind('@');
    if (at == std::string_view::npos) {
        return std::string(address);
    }
    const std::size_t colon = authority.substr(0, at).find(':');
    if (colon == std::string_view::npos || colon + 1 == at) {
        return std::string(address);
    }
    std::string shown(address.substr(0, authorityStart + colon + 1));
    shown += "***";
    shown += address.substr(authorityStart + at);
    return shown;
}

// The URL as it is requested, parsed by libcurl; empty when it cannot be split.
UrlHandle ParseRequestUrl(std::string_view url) {
    UrlHandle parsed(curl_url());
    if (parsed && curl_url_set(parsed.get(), CURLUPART_URL, EncodeSpaces(url).c_str(),
                               CURLU_URLENCODE) != CURLUE_OK) {
        parsed.reset();
    }
    return parsed;
}

}  // namespace

// libcurl reads a user part in more forms than the text masking knows ("http:/u:p@host/"),
// and sends what it reads; so its password is the one that must not be shown.
std::string DisplayAddress(std::string_view address) {
    const UrlHandle parsed = ParseRequestUrl(CompleteAddress(address));
    const std::optional<std::string> password =
        parsed ? GetPart(parsed.get(), CURLUPART_PASSWORD) : std::nullopt;
    if (!password || password->empty()) {
        return MaskTypedPassword(address);
    }
    // libcurl ends the user part at the first "@"; the scheme before it holds none.
    const std::size_t at = address.find('@');
    if (at != std::string_view::npos && address.substr(0, at).ends_with(":" + *password)) {
        std::string shown(address.substr(0, at - password->size()));
        shown += "***";
        shown += address.substr(at);
        return shown;
    }
    // The typed text differs from what libcurl made of it (encoded spaces): show libcurl's.
    if (curl_url_set(parsed.get(), CURLUPART_PASSWORD, "***", 0) == CURLUE_OK) {
        if (std::optional<std::string> url = GetPart(parsed.get(), CURLUPART_URL)) {
            return *url;
        }
    }
    return "***";
}

std::string HostOf(std::string_view url) {
    const UrlHandle parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK) {
        return {};
    }
    return GetPart(parsed.get(), CURLUPART_HOST).value_or("");
}

std::string OriginOf(std::string_view url) {
    const UrlHandle parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK) {
        return {};
    }
    const std::optional<std::string> scheme = GetPart(parsed.get(), CURLUPART_SCHEME);
    std::optional<std::string> host = GetPart(parsed.get(), CURLUPART_HOST);
    const std::optional<std::string> port =
        GetPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port) {
        return {};
    }
    std::transform(host->begin(), host->end(), host->begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return *scheme + "://" + *host + ":" + *port;
}

std::string CompleteAddress(std::string_view address) {
    if (address.find(':') != std::string_view::npos ||
        address.find("\\\\") != std::string_view::npos) {
        return std::string(address);
    }
    return "http://" + std::string(address);
}

std::optional<std::string> RequestUrl(std::string_view url) {
    const UrlHandle parsed = ParseRequestUrl(url);
    if (!parsed) {
        return std::nullopt;
    }
    const std::optional<std::string> scheme = GetPart(parsed.get(), CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") {
        return std::nullopt;
    }
    if (scheme == "http" && GetPart(parsed.get(), CURLUPART_PORT) == "443" &&
        curl_url_set(parsed.get(), CURLUPART_SCHEME, "https", 0) != CURLUE_OK) {
        return std::nullopt;
    }
    return GetPart(parsed.get(), CURLUPART_URL);
}

}  // namespace tandemix
