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
