#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "web/WebRetrieval.h"

namespace tandemix {

// The file name of the web module.
inline constexpr const char* kWebModuleName = "tandemix-web.so";

// The web module, opened with dlopen. It stays in the process once loaded (libcurl and
// OpenSSL keep process-wide state), so the table stays valid after this object is gone.
class WebModule {
public:
    // Opens the module in the file. On failure Retrieval() is null and Error() says why, in
    // the dynamic loader's words.
    static WebModule Open(const std::filesystem::path& file);

    // Opens the module where the program finds it: beside the running executable (so in the
    // build tree), else in the private library folder of the install tree, found from the
    // executable's folder.
    static WebModule OpenInstalled();

    const WebRetrieval* Retrieval() const { return retrieval_; }
    const std::string& Error() const { return error_; }

private:
    struct Closer {
        void operator()(void* handle) const;
    };

    std::unique_ptr<void, Closer> handle_;
    const WebRetrieval* retrieval_ = nullptr;
    std::string error_;
};

}  // namespace tandemix
