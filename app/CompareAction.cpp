#include "app/CompareAction.h"

#include <QCursor>
#include <QGuiApplication>
#include <exception>
#include <new>
#include <string>

#include "app/ProductResources.h"
#include "run/Comparison.h"

namespace tandemix::app {
namespace {

// Shows the wait cursor for the lifetime of the object, so that every way out of a
// command, an exception included, ends it.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CompareRequest RequestFromWindow(const RememberedStates& states, const DialogControls& controls,
                                 const AdvancedSettings& advanced) {
    CompareRequest request = states;
    request.kind =
        controls.IsChecked(kIdWebPages) ? InputsKind::WebPages : InputsKind::FilesOrFolders;
    request.followRedirects = controls.IsChecked(kIdFollowRedirects);
    request.containerForm = controls.IsChecked(kIdHta) ? ContainerForm::Hta : ContainerForm::Html;
    ApplyAdvancedSettings(advanced, request);
    return request;
}

WebCompare EngineWebCompare() {
    return [](const CompareRequest& request, const RunContext& context, ContainerLauncher* launcher,
              CredentialsPrompt& credentials, CertificateQuestion& certificates) {
        return CompareWebPagesIntoReport(request, context, launcher, FetchSettings{},
                                         FetchQuestions{credentials, certificates});
    };
}

CompareOutcome RunCompareAction(const CompareRequest& request, const CompareServices& services) {
    const WaitCursor waitCursor;
    try {
        if (request.WebPages()) {
            return services.webCompare(request, services.context, &services.launcher,
                                       services.credentials, services.certificates);
        }
        return CompareIntoReport(request, services.context, &services.launcher);
    } catch (const std::bad_alloc&) {
        services.context.messages.Warn(messages::kCompareOutOfMemory);
    } catch (const std::exception& error) {
        services.context.messages.Warn(std::string(messages::kCompareFailed) + error.what());
    }
    return {};
}

}  // namespace tandemix::app
