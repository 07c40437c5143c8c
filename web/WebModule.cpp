#include "web/WebModule.h"

#include <dlfcn.h>

#include <system_error>

namespace tandemix {
namespace {

// The dynamic loader's text for the last failure, or the fallback when it has none.
std::string LoaderError(const char* fallback) {
    const char* text = dlerror();
    return text != nullptr ? text : fallback;
}

}  // namespace

void WebModule::Closer::operator()(void* handle) const {
    dlclose(handle);
}

WebModule WebModule::Open(const std::filesystem::path& file) {
    WebModule module;
    // RTLD_NODELETE: libcurl and OpenSSL register exit handlers in the module's libraries.
    module.handle_.reset(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!module.handle_) {
        module.error_ = LoaderError("cannot open the module");
        return module;
    }
    using Entry = const WebRetrieval* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(module.handle_.get(), kWebRetrievalEntry));
    if (entry == nullptr) {
        module.error_ = LoaderError("no entry point");
        return module;
    }
    const WebRetrieval* retrieval = entry();
    if (retrieval == nullptr || retrieval->version != kWebRetrievalVersion) {
        module.error_ = file.string() + ": Schnittstelle einer anderen Ausgabe";
        return module;
    }
    module.retrieval_ = retrieval;
    return module;
}

WebModule WebModule::OpenInstalled() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        // Left to the loader's search path.
        return Open(kWebModuleName);
    }
    const std::filesystem::path beside = program.parent_path() / kWebModuleName;
    if (std::filesystem::exists(beside, error)) {
        return Open(beside);
    }
    return Open((program.parent_path() / TANDEMIX_WEB_MODULE_FROM_BINDIR / kWebModuleName)
                    .lexically_normal());
}

}  // namespace tandemix
