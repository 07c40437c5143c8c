#include "cli/Outcome.h"

namespace tandemix::cli {

ExitStatus StatusOf(const CompareOutcome& outcome, bool warned) {
    if (!outcome.run.written || outcome.containerPath.empty() || warned || outcome.run.incomplete) {
        return ExitStatus::Trouble;
    }
    return outcome.run.differenceCount == 0 ? ExitStatus::NoDifferences : ExitStatus::Differences;
}

std::string ResultLine(LineIndex differenceCount) {
    if (differenceCount == 0) {
        return "Ergebnis: Keine Unterschiede";
    }
    // The page keeps the plural for a single difference too.
    return "Ergebnis: " + std::to_string(differenceCount) + " Unterschiede";
}

}  // namespace tandemix::cli
