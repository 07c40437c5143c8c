#include "base/Messages.h"
#include "run/Comparison.h"

namespace tandemix {

// A build without web retrieval still understands the Web Pages kind; it says why it
// cannot compare web pages instead of failing to link.
CompareOutcome CompareWebPagesIntoReport(const CompareRequest&, const RunContext& context,
                                         ContainerLauncher*, const FetchSettings&,
                                         const FetchQuestions&, const WebRetrieval*) {
    context.messages.Warn(messages::kWebUnavailable);
    return {};
}

}  // namespace tandemix
