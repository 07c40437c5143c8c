#include "web/PageFetcher.h"

#include <cstdio>
#include <memory>

#include "web/WebAddress.h"

namespace tandemix {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The file is created anew: whatever was at the path goes first, and "x" refuses to open
// anything that appears there in between, a planted link included.
bool WriteNewFile(const std::string& path, const std::string& content) {
    std::remove(path.c_str());
    File file(std::fopen(path.c_str(), "wbx"));
    if (!file) {
        return false;
    }
    const bool written =
        std::fwrite(content.data(), 1, content.size(), file.get()) == content.size() &&
        !content.empty();
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed) {
        return true;
    }
    std::remove(path.c_str());
    return false;
}

}  // namespace

std::string FetchPageToFile(std::string_view address, const std::string& temporaryPath,
                            const FetchSettings& settings, CredentialsPrompt& prompt) {
    std::string content;
    DownloadPage(CompleteAddress(address), settings, prompt, content);
    if (!WriteNewFile(temporaryPath, content)) {
        return std::string(kFetchFailed);
    }
    return temporaryPath;
}

}  // namespace tandemix
