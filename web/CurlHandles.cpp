#include "web/CurlHandles.h"

namespace tandemix::web_detail {
namespace {

// libcurl needs one set-up per process before the first handle and one tear-down after the
// last. This is the module's only process-wide object, created on first use through a
// function-local static (thread-safe) and torn down at exit.
class CurlLibrary {
public:
    CurlLibrary() : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
    ~CurlLibrary() {
        if (ready_) {
            curl_global_cleanup();
        }
    }
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;

    bool Ready() const { return ready_; }

private:
    bool ready_;
};

bool EnsureCurlLibrary() {
    static const CurlLibrary library;
    return library.Ready();
}

}  // namespace

EasyHandle NewEasyHandle() {
    if (!EnsureCurlLibrary()) {
        return nullptr;
    }
    return EasyHandle(curl_easy_init());
}

}  // namespace tandemix::web_detail
