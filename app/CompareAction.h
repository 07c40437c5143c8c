#pragma once

#include <functional>

#include "app/AdvancedDialog.h"
#include "app/DialogControls.h"
#include "app/RememberedStates.h"
#include "run/Comparison.h"
#include "web/CertificateQuestion.h"
#include "web/CredentialsPrompt.h"

namespace tandemix::app {

// The compare command's request: a copy of the remembered states, with the kind, the
// redirect box and the output form from the controls themselves and the advanced settings.
CompareRequest RequestFromWindow(const RememberedStates& states, const DialogControls& controls,
                                 const AdvancedSettings& advanced);

// The compare function of the Web Pages kind (fetch, run, delete the fetched files).
using WebCompare =
    std::function<CompareOutcome(const CompareRequest&, const RunContext&, ContainerLauncher*,
                                 CredentialsPrompt&, CertificateQuestion&)>;

// The engine's web compare with the users' fetch settings.
WebCompare EngineWebCompare();

struct CompareServices {
    const RunContext& context;
    ContainerLauncher& launcher;
    CredentialsPrompt& credentials;
    CertificateQuestion& certificates;
    WebCompare webCompare;
};

// Runs one comparison under the wait cursor. An exception leaves the command as a message,
// so the window stays usable; the outcome is then that of a run that stopped early.
CompareOutcome RunCompareAction(const CompareRequest& request, const CompareServices& services);

}  // namespace tandemix::app
