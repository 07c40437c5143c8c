#pragma once

#include <string_view>

#include "report/OutputNames.h"
#include "run/CompareCommand.h"
#include "web/CertificateQuestion.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"
#include "web/WebRetrieval.h"

namespace tandemix {

// Whom the fetches of one comparison may ask.
struct FetchQuestions {
    CredentialsPrompt& credentials;
    CertificateQuestion& certificate;
};

// The compare command in the Web Pages kind: fetches page 2, then page 1, compares the two
// fetched files under the typed addresses (a password in them shown as "***") and deletes
// both files again, whatever happened. A page that cannot be fetched is told as a missing
// input, with the reason on a second line, and nothing is compared. Redirects are followed as the
// request says, overriding the settings. When a page fails under a full certificate check only for
// the certificate's name or dates, the certificate question is asked, once per comparison; on yes
// that page and the rest are fetched accepting such certificates. The outcome carries each page's
// status.
// The fetching is the web module's, opened once the output folder is known to be usable; when
// it cannot be opened, that is told and nothing is compared. A program that links the web
// layer's code in passes its table as `linked` instead.
CompareOutcome RunWebCompareCommand(const CompareRequest& request, const RunContext& context,
                                    ContainerLauncher* launcher, const FetchSettings& settings,
                                    const FetchQuestions& questions,
                                    const WebRetrieval* linked = nullptr);

}  // namespace tandemix
