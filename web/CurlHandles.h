#pragma once

// libcurl stays inside web/: only this folder's sources include this header.

#include <curl/curl.h>

#include <memory>

namespace tandemix::web_detail {

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};

using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

// A fresh easy handle, after making sure libcurl is set up for the process; empty when
// libcurl cannot provide one.
EasyHandle NewEasyHandle();

}  // namespace tandemix::web_detail
