#pragma once

#include <string_view>

#include "run/CompareCommand.h"
#include "web/CredentialsPrompt.h"
#include "web/FetchSettings.h"

namespace tandemix {

// The fetched pages, in the output directory for the length of one comparison.
inline constexpr std::string_view kWebPage1Name = "~tandemixurl1";
inline constexpr std::string_view kWebPage2Name = "~tandemixurl2";

// The compare command in the Web Pages kind: fetches page 2, then page 1, compares the two
// fetched files under the typed addresses and deletes both files again, whatever happened.
// A page that cannot be fetched reaches the run as a missing input. Redirects are followed
// as the request says, overriding the settings.
CompareOutcome RunWebCompareCommand(const CompareRequest& request, const RunContext& context,
                                    ContainerLauncher* launcher, const FetchSettings& settings,
                                    CredentialsPrompt& prompt);

}  // namespace tandemix
