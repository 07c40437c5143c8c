#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "web/CurlHandles.h"
#include "web/PageFetcher.h"
#include "web/TlsPolicy.h"
#include "web/WebAddress.h"

namespace tandemix {
namespace {

using Clock = std::chrono::steady_clock;
using web_detail::EasyHandle;
using web_detail::HeaderList;

// What the callbacks of one request share.
struct Transfer {
    Transfer(const FetchSettings& settings, PageBody& pageBody)
        : idleTimeout(settings.idleTimeout), body(pageBody) {
        tls.mode = settings.certificateCheck;
    }

    std::chrono::milliseconds idleTimeout;
    PageBody& body;
    Clock::time_point lastByte = Clock::now();
    web_detail::TlsCheck tls;
};

// Any return value other than the chunk's size makes libcurl abandon the transfer.
std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    transfer.lastByte = Clock::now();
    return transfer.body.Append({data, length}) ? length : 0;
}

std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
    static_cast<Transfer*>(user)->lastByte = Clock::now();
    return size * count;
}

// libcurl calls this at least once a second, also while nothing arrives.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const Transfer& transfer = *static_cast<const Transfer*>(user);
    return Clock::now() - transfer.lastByte > transfer.idleTimeout ? 1 : 0;
}

// Keeps the first failure of a series of curl_easy_setopt calls.
class OptionSetter {
public:
    explicit OptionSetter(CURL* handle) : handle_(handle) {}

    template <typename Value>
    OptionSetter& Set(CURLoption option, Value value) {
        if (result_ == CURLE_OK) {
            result_ = curl_easy_setopt(handle_, option, value);
        }
        return *this;
    }
    OptionSetter& Also(CURLcode result) {
        if (result_ == CURLE_OK) {
            result_ = result;
        }
        return *this;
    }
    bool Ok() const { return result_ == CURLE_OK; }

private:
    CURL* handle_;
    CURLcode result_ = CURLE_OK;
};

// No cache anywhere on the way: the page is compared as the server has it now.
HeaderList RequestHeaders() {
    HeaderList list;
    for (const char* header : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"}) {
        curl_slist* longer = curl_slist_append(list.get(), header);
        if (longer == nullptr) {
            return nullptr;
        }
        // The list keeps its head; ownership only passes from the old value to the new one.
        static_cast<void>(list.release());
        list.reset(longer);
    }
    return list;
}

bool Configure(CURL* handle, const FetchSettings& settings, curl_slist* headers,
               Transfer& transfer) {
    const bool follow = settings.redirects == Redirects::Follow;
    OptionSetter options(handle);
    options.Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L)
        // libcurl's own rule: credentials go to the scheme, host and port first asked only.
        .Set(CURLOPT_UNRESTRICTED_AUTH, 0L)
        .Set(CURLOPT_MAXREDIRS, settings.maxRedirects)
        .Set(CURLOPT_HTTPHEADER, headers)
        .Set(CURLOPT_USERAGENT, settings.userAgent.c_str())
        .Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeout.count()))
        .Set(CURLOPT_TIMEOUT_MS, static_cast<long>(settings.totalTimeout.count()))
        .Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(settings.bodyCap))
        .Set(CURLOPT_WRITEFUNCTION, OnBody)
        .Set(CURLOPT_WRITEDATA, &transfer)
        .Set(CURLOPT_HEADERFUNCTION, OnHeader)
        .Set(CURLOPT_HEADERDATA, &transfer)
        .Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, OnProgress)
        .Set(CURLOPT_XFERINFODATA, &transfer)
        .Also(web_detail::ApplyTlsPolicy(handle, settings.caBundlePath.c_str(), transfer.tls));
    const long lowSpeedSeconds = static_cast<long>(settings.lowSpeedTime.count());
    if (lowSpeedSeconds > 0) {
        // libcurl compares whole bytes per second; rounding up gives up on a server that
        // sends barely enough rather than keep one that sends too little.
        const auto perSecond = static_cast<long>(
            (settings.lowSpeedBytes + static_cast<std::uint64_t>(lowSpeedSeconds) - 1) /
            static_cast<std::uint64_t>(lowSpeedSeconds));
        options.Set(CURLOPT_LOW_SPEED_LIMIT, std::max(perSecond, 1L))
            .Set(CURLOPT_LOW_SPEED_TIME, lowSpeedSeconds);
    }
    return options.Ok();
}

CURLcode Perform(CURL* handle, const std::string& url, Transfer& transfer) {
    transfer.lastByte = Clock::now();
    const CURLcode result = curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    return result == CURLE_OK ? curl_easy_perform(handle) : result;
}

long InfoLong(CURL* handle, CURLINFO info) {
    long value = 0;
    return curl_easy_getinfo(handle, info, &value) == CURLE_OK ? value : 0;
}

std::optional<AuthRequester> AuthRequested(CURL* handle) {
    const long status = InfoLong(handle, CURLINFO_RESPONSE_CODE);
    if (status == 401) {
        return AuthRequester::Server;
    }
    // A proxy refuses an https tunnel before any answer of the server exists.
    if (status == 407 || InfoLong(handle, CURLINFO_HTTP_CONNECTCODE) == 407) {
        return AuthRequester::Proxy;
    }
    return std::nullopt;
}

std::string EffectiveUrl(CURL* handle, const std::string& requested) {
    char* url = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || url == nullptr) {
        return requested;
    }
    return url;
}

// The server or proxy says which scheme it wants (basic, digest, ...); libcurl picks it.
bool SetCredentials(CURL* handle, AuthRequester requester, const Credentials& credentials) {
    const bool proxy = requester == AuthRequester::Proxy;
    OptionSetter options(handle);
    options.Set(proxy ? CURLOPT_PROXYUSERNAME : CURLOPT_USERNAME, credentials.user.c_str())
        .Set(proxy ? CURLOPT_PROXYPASSWORD : CURLOPT_PASSWORD, credentials.password.c_str())
        .Set(proxy ? CURLOPT_PROXYAUTH : CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    return options.Ok();
}

// Over the cap, announced or counted, or a body that could not be written.
bool BodyRefused(CURLcode result) {
    return result == CURLE_FILESIZE_EXCEEDED || result == CURLE_WRITE_ERROR;
}

FetchFailure Failure(FetchFailureKind kind, std::string host = {}) {
    FetchFailure failure;
    failure.kind = kind;
    failure.host = std::move(host);
    return failure;
}

// Over the cap, announced or counted, or a body that could not be written.
FetchFailure BodyFailure(CURLcode result, const PageBody& body) {
    FetchFailure failure;
    if (result == CURLE_FILESIZE_EXCEEDED || body.OverCap()) {
        failure.kind = FetchFailureKind::TooLarge;
        failure.bodyCap = body.Cap();
    } else {
        failure.kind = FetchFailureKind::NotWritten;
        failure.errorNumber = body.Error();
    }
    return failure;
}

FetchFailure FailureOf(CURL* handle, CURLcode result, const Transfer& transfer,
                       const std::string& requestUrl) {
    const std::string host = HostOf(EffectiveUrl(handle, requestUrl));
    if (const auto fault = web_detail::CertificateFaultOf(result, transfer.tls)) {
        FetchFailure failure = Failure(FetchFailureKind::Certificate, host);
        failure.certificateFault = *fault;
        return failure;
    }
    switch (result) {
        case CURLE_OK:
            return {};
        case CURLE_COULDNT_RESOLVE_HOST:
            return Failure(FetchFailureKind::HostNotFound, host);
        case CURLE_COULDNT_RESOLVE_PROXY:
            return Failure(FetchFailureKind::ProxyNotFound);
        case CURLE_COULDNT_CONNECT:
            return Failure(InfoLong(handle, CURLINFO_OS_ERRNO) == ECONNREFUSED
                               ? FetchFailureKind::ConnectionRefused
                               : FetchFailureKind::NoConnection,
                           host);
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_ABORTED_BY_CALLBACK:  // the idle timeout
            return Failure(FetchFailureKind::Timeout);
        case CURLE_SSL_CONNECT_ERROR:
            return Failure(FetchFailureKind::TlsFailed, host);
        case CURLE_TOO_MANY_REDIRECTS:
            return Failure(FetchFailureKind::TooManyRedirects);
        // The URL named passed RequestUrl, so these come from a redirect.
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return Failure(FetchFailureKind::RedirectRefused);
        case CURLE_FILESIZE_EXCEEDED:
        case CURLE_WRITE_ERROR:
            return BodyFailure(result, transfer.body);
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_BAD_CONTENT_ENCODING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return Failure(FetchFailureKind::Broken);
        default: {
            FetchFailure failure = Failure(FetchFailureKind::Other);
            failure.detail = curl_easy_strerror(result);
            return failure;
        }
    }
}

DownloadResult Finished(CURL* handle, CURLcode result, const Transfer& transfer,
                        const std::string& requestUrl) {
    DownloadResult download;
    download.httpStatus = static_cast<int>(InfoLong(handle, CURLINFO_RESPONSE_CODE));
    if (result == CURLE_OK) {
        download.status = DownloadStatus::Complete;
    } else if (!BodyRefused(result)) {
        download.status = DownloadStatus::Interrupted;
    }
    download.failure = FailureOf(handle, result, transfer, requestUrl);
    if (const auto reason = web_detail::ForgivableReason(result, transfer.tls)) {
        download.status = DownloadStatus::Refused;
        download.certificateProblem =
            CertificateProblem{HostOf(EffectiveUrl(handle, requestUrl)), std::string(*reason)};
    }
    return download;
}

DownloadResult Refused(FetchFailure failure, int httpStatus = 0) {
    DownloadResult refused;
    refused.httpStatus = httpStatus;
    refused.failure = std::move(failure);
    return refused;
}

// A 401 that redirects brought from an origin other than the one named: answering it would
// hand the credentials to whoever the redirect points at.
std::optional<FetchFailure> LoginElsewhere(CURL* handle, const std::string& requestUrl) {
    if (InfoLong(handle, CURLINFO_RESPONSE_CODE) != 401) {
        return std::nullopt;
    }
    const std::string asking = OriginOf(EffectiveUrl(handle, requestUrl));
    const std::string named = OriginOf(requestUrl);
    if (asking == named) {
        return std::nullopt;
    }
    FetchFailure failure = Failure(FetchFailureKind::LoginElsewhere, asking);
    failure.namedOrigin = named;
    return failure;
}

}  // namespace

DownloadResult DownloadPage(std::string_view url, const FetchSettings& settings,
                            CredentialsPrompt& prompt, PageBody& body) {
    const std::optional<std::string> requestUrl = RequestUrl(url);
    if (!requestUrl) {
        return Refused(Failure(FetchFailureKind::InvalidAddress));
    }
    const EasyHandle handle = web_detail::NewEasyHandle();
    const HeaderList headers = RequestHeaders();
    Transfer transfer(settings, body);
    if (!handle || !headers || !Configure(handle.get(), settings, headers.get(), transfer)) {
        FetchFailure failure = Failure(FetchFailureKind::Other);
        failure.detail = "libcurl";
        return Refused(std::move(failure));
    }

    CURLcode result = Perform(handle.get(), *requestUrl, transfer);
    if (const std::optional<AuthRequester> requester = AuthRequested(handle.get())) {
        const int status = static_cast<int>(InfoLong(handle.get(), CURLINFO_RESPONSE_CODE));
        if (auto elsewhere = LoginElsewhere(handle.get(), *requestUrl)) {
            return Refused(std::move(*elsewhere), status);
        }
        // The answer that asked for credentials was followed to its end; ask for that one.
        const std::optional<Credentials> credentials =
            prompt.Ask(DisplayAddress(EffectiveUrl(handle.get(), *requestUrl)), *requester);
        if (!credentials) {
            FetchFailure failure = Failure(FetchFailureKind::LoginRequired);
            failure.requester = *requester;
            return Refused(std::move(failure), status);
        }
        if (!SetCredentials(handle.get(), *requester, *credentials) || !body.Restart()) {
            FetchFailure failure = Failure(FetchFailureKind::NotWritten);
            failure.errorNumber = body.Error();
            return Refused(std::move(failure), status);
        }
        // From the address named again: libcurl follows the redirects itself and sends the
        // credentials to the named origin alone.
        result = Perform(handle.get(), *requestUrl, transfer);
        if (auto elsewhere = LoginElsewhere(handle.get(), *requestUrl)) {
            return Refused(std::move(*elsewhere),
                           static_cast<int>(InfoLong(handle.get(), CURLINFO_RESPONSE_CODE)));
        }
    }
    return Finished(handle.get(), result, transfer, *requestUrl);
}

}  // namespace tandemix
