#include "cli/Outcome.h"

namespace tandemix::cli {

ExitStatus StatusOf(const CompareOutcome& outcome, bool warned) {
    if (!outcome.run.written || outcome.containerPath.empty() || warned || outcome.run.incomplete) {
        return ExitStatus::Trouble;
    }
    return outcome.run.differenceCount == 0 ? ExitStatus::NoDifferences : ExitStatus::Differences;
}

}  // namespace tandemix::cli
