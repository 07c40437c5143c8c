#include "app/CompareAction.h"

#include <exception>
#include <new>
#include <string>

#include "app/AppMessages.h"
#include "app/ControlIds.h"
#include "app/WaitCursor.h"
#include "run/WebComparison.h"

namespace tandemix::app {

CompareRequest RequestFromWindow(const RememberedStates& states, const DialogControls& controls) {
    CompareRequest request;
    request.input1 = states.input1;
    request.input2 = states.input2;
    request.options.caseSensitive = states.caseSensitive;
    request.options.indent = states.indent;
    request.options.breakAfterEachTag = states.lineBreakAfterEachTag;
    request.options.deleteAllTags = states.deleteAllTags;
    request.options.keepEmptyLines = states.keepEmptyLines;
    request.showLineNumbers = states.showLineNumbers;
    request.webPages = controls.IsChecked(kIdWebPages);
    request.followRedirects = controls.IsChecked(kIdFollowRedirects);
    request.containerForm = controls.IsChecked(kIdHta) ? ContainerForm::Hta : ContainerForm::Html;
    return request;
}

WebCompare EngineWebCompare() {
    return [](const CompareRequest& request, const RunContext& context, ContainerLauncher* launcher,
              CredentialsPrompt& credentials) {
        RefusingCertificateQuestion certificate;
        return RunWebCompareCommand(request, context, launcher, FetchSettings{},
                                    FetchQuestions{credentials, certificate});
    };
}

CompareOutcome RunCompareAction(const CompareRequest& request, const CompareServices& services) {
    const WaitCursor waitCursor;
    try {
        if (request.webPages) {
            return services.webCompare(request, services.context, &services.launcher,
                                       services.credentials);
        }
        return RunCompareCommand(request, services.context, &services.launcher);
    } catch (const std::bad_alloc&) {
        services.context.messages.Warn(messages::kCompareOutOfMemory);
    } catch (const std::exception& error) {
        services.context.messages.Warn(std::string(messages::kCompareFailed) + error.what());
    }
    return {};
}

}  // namespace tandemix::app
