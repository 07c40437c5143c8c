#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "base/Messages.h"
#include "base/Side.h"
#include "report/OutputNames.h"
#include "run/CompareCommand.h"
#include "run/FetchFailureText.h"
#include "web/WebModule.h"

namespace tandemix {
namespace {

// Deletes the fetched pages when the command ends, also when an exception leaves it.
class TemporaryFiles {
public:
    explicit TemporaryFiles(std::array<std::string, 2> paths) : paths_(std::move(paths)) {}
    ~TemporaryFiles() {
        for (const std::string& path : paths_) {
            std::remove(path.c_str());
        }
    }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    const std::string& Path(Side side) const { return paths_[Index(side)]; }

private:
    std::array<std::string, 2> paths_;
};

// The fetches of one comparison, which share the answer to the certificate question.
class PageFetches {
public:
    PageFetches(const WebRetrieval& web, FetchSettings settings, const FetchQuestions& questions)
        : web_(web), settings_(std::move(settings)), questions_(questions) {}

    FetchResult Fetch(const std::string& address, const std::string& temporaryPath) {
        FetchResult result =
            web_.fetchPageToFile(address, temporaryPath, settings_, questions_.credentials);
        if (!result.certificateProblem || asked_) {
            return result;
        }
        asked_ = true;
        if (!questions_.certificate.AcceptInvalidCertificate(*result.certificateProblem)) {
            return result;
        }
        settings_.certificateCheck = CertificateCheck::AcceptNameAndDateErrors;
        return web_.fetchPageToFile(address, temporaryPath, settings_, questions_.credentials);
    }

private:
    const WebRetrieval& web_;
    FetchSettings settings_;
    const FetchQuestions& questions_;
    bool asked_ = false;
};

// The message of a missing input, with the address and why it could not be fetched below.
void WarnNotFetched(const WebRetrieval& web, MessageSink& messages, Side side,
                    const std::string& address, const FetchFailure& failure) {
    messages.Warn(messages::InputMissing(
        Number(side), web.displayAddress(address),
        failure ? FetchFailureText(failure) : std::string(messages::kPageNotFetched)));
}

}  // namespace

CompareOutcome CompareWebPagesIntoReport(const CompareRequest& request, const RunContext& context,
                                         ContainerLauncher* launcher, const FetchSettings& settings,
                                         const FetchQuestions& questions,
                                         const WebRetrieval* linked) {
    // The fetched pages lie in the output folder, so another command into it must wait
    // until this one is done with them; and a fetch that fails for the folder must not
    // read as a page that does not exist.
    const OutputFolderTurn turn(context, request.choices.reportForm);
    if (!turn.Usable()) {
        return {};
    }
    const WebModule module = linked != nullptr ? WebModule() : WebModule::OpenInstalled();
    const WebRetrieval* web = linked != nullptr ? linked : module.Retrieval();
    if (web == nullptr) {
        context.messages.Warn(messages::WebModuleMissing(module.Error()));
        return {};
    }
    FetchSettings fetchSettings = settings;
    fetchSettings.redirects = request.followRedirects ? Redirects::Follow : Redirects::Keep;
    PageFetches fetches(*web, std::move(fetchSettings), questions);
    if (context.observer != nullptr) {
        context.observer->OnStage(RunStage::Fetching);
    }
    const TemporaryFiles files({OutputPath(context.outputDirectory, kWebPage1Name),
                                OutputPath(context.outputDirectory, kWebPage2Name)});
    std::array<FetchResult, 2> pages;
    for (const Side side : {Side::Two, Side::One}) {
        pages[Index(side)] = fetches.Fetch(request.inputs[Index(side)], files.Path(side));
    }
    const std::array<int, 2> status{pages[0].httpStatus, pages[1].httpStatus};
    const auto failed = [&pages](Side side) { return pages[Index(side)].path == kFetchFailed; };
    if (failed(Side::One) || failed(Side::Two)) {
        if (!CheckOutputFolder(context, request.choices.reportForm)) {
            return {};
        }
        // The first page that failed is the one named.
        const Side side = failed(Side::One) ? Side::One : Side::Two;
        WarnNotFetched(*web, context.messages, side, request.inputs[Index(side)],
                       pages[Index(side)].failure);
        CompareOutcome outcome;
        outcome.pageStatus = status;
        return outcome;
    }

    CompareRequest shown = request;
    shown.kind = InputsKind::WebPages;
    for (std::string& input : shown.inputs) {
        input = web->displayAddress(input);
    }
    CompareOutcome outcome =
        CompareInTurn(shown, {pages[0].path, pages[1].path}, context, launcher);
    outcome.pageStatus = status;
    return outcome;
}

}  // namespace tandemix
