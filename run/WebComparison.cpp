#include "run/WebComparison.h"

#include <cstdio>
#include <string>
#include <utility>

#include "web/PageFetcher.h"

namespace tandemix {
namespace {

// Deletes the fetched pages when the command ends, also when an exception leaves it.
class TemporaryFiles {
public:
    TemporaryFiles(std::string path1, std::string path2)
        : path1_(std::move(path1)), path2_(std::move(path2)) {}
    ~TemporaryFiles() {
        std::remove(path1_.c_str());
        std::remove(path2_.c_str());
    }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    const std::string& Path1() const { return path1_; }
    const std::string& Path2() const { return path2_; }

private:
    std::string path1_;
    std::string path2_;
};

// A failed fetch must reach the run as a missing input, even where a file happens to be
// called "ERROR" in the working directory.
std::string RunPath(const std::string& fetched) {
    return fetched == kFetchFailed ? std::string() : fetched;
}

}  // namespace

CompareOutcome RunWebCompareCommand(const CompareRequest& request, const RunContext& context,
                                    ContainerLauncher* launcher, const FetchSettings& settings,
                                    CredentialsPrompt& prompt) {
    CompareRequest webRequest = request;
    webRequest.webPages = true;
    FetchSettings fetchSettings = settings;
    fetchSettings.redirects = request.followRedirects ? Redirects::Follow : Redirects::Keep;

    // The fetched pages lie in the output folder, so another command into it must wait
    // until this one is done with them; and a fetch that fails for the folder must not
    // read as a page that does not exist.
    const OutputFolderTurn turn(context);
    if (!turn.Usable()) {
        return {};
    }
    const TemporaryFiles files(OutputPath(context.outputDirectory, kWebPage1Name),
                               OutputPath(context.outputDirectory, kWebPage2Name));
    const std::string path2 =
        FetchPageToFile(webRequest.input2, files.Path2(), fetchSettings, prompt);
    const std::string path1 =
        FetchPageToFile(webRequest.input1, files.Path1(), fetchSettings, prompt);
    if ((path1 == kFetchFailed || path2 == kFetchFailed) && !OutputDirectoryUsable(context)) {
        return {};
    }
    return RunCompareCommandInTurn(webRequest, RunPath(path1), RunPath(path2), context, launcher);
}

}  // namespace tandemix
