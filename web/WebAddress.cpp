#include "web/WebAddress.h"

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

}  // namespace

std::string DisplayAddress(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    const std::size_t authorityStart = schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t authorityEnd = address.find_first_of("/?#", authorityStart);
    const std::string_view authority =
        address.substr(authorityStart, authorityEnd - authorityStart);
    // The user part ends at the last "@" of the authority, the name at its first ":".
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

std::string HostOf(std::string_view url) {
    const UrlHandle parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK) {
        return {};
    }
    return GetPart(parsed.get(), CURLUPART_HOST).value_or("");
}

std::string CompleteAddress(std::string_view address) {
    if (address.find(':') != std::string_view::npos ||
        address.find("\\\\") != std::string_view::npos) {
        return std::string(address);
    }
    return "http://" + std::string(address);
}

std::optional<std::string> RequestUrl(std::string_view url) {
    const UrlHandle parsed(curl_url());
    if (!parsed) {
        return std::nullopt;
    }
    if (curl_url_set(parsed.get(), CURLUPART_URL, EncodeSpaces(url).c_str(), CURLU_URLENCODE) !=
        CURLUE_OK) {
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
