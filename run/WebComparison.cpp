#include <cstdio>
#include <string>
#include <utility>

#include "base/Messages.h"
#include "report/OutputNames.h"
#include "run/CompareCommand.h"
#include "run/FetchFailureText.h"
#include "web/WebModule.h"

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
void WarnNotFetched(const WebRetrieval& web, MessageSink& messages, int input,
                    const std::string& address, const FetchFailure& failure) {
    messages.Warn(messages::InputMissing(
        input, web.displayAddress(address),
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
    const TemporaryFiles files(OutputPath(context.outputDirectory, kWebPage1Name),
                               OutputPath(context.outputDirectory, kWebPage2Name));
    const FetchResult page2 = fetches.Fetch(request.inputs[1], files.Path2());
    const FetchResult page1 = fetches.Fetch(request.inputs[0], files.Path1());
    const bool failed1 = page1.path == kFetchFailed;
    const bool failed2 = page2.path == kFetchFailed;
    if ((failed1 || failed2) && !CheckOutputFolder(context, request.choices.reportForm)) {
        return {};
    }
    if (failed1 || failed2) {
        WarnNotFetched(*web, context.messages, failed1 ? 1 : 2,
                       failed1 ? request.inputs[0] : request.inputs[1],
                       failed1 ? page1.failure : page2.failure);
        CompareOutcome outcome;
        outcome.pageStatus = {page1.httpStatus, page2.httpStatus};
        return outcome;
    }

    CompareRequest shown = request;
    shown.kind = InputsKind::WebPages;
    for (std::string& input : shown.inputs) {
        input = web->displayAddress(input);
    }
    CompareOutcome outcome = CompareInTurn(shown, {page1.path, page2.path}, context, launcher);
    outcome.pageStatus = {page1.httpStatus, page2.httpStatus};
    return outcome;
}

}  // namespace tandemix
