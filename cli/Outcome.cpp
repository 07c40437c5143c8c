#include "cli/Outcome.h"

namespace tandemix::cli {

ExitStatus StatusOf(const CompareOutcome& outcome, bool warned) {
    if (!outcome.run.written || outcome.containerPath.empty() || warned) {
        return ExitStatus::Trouble;
    }
    return outcome.run.differenceCount == 0 ? ExitStatus::NoDifferences : ExitStatus::Differences;
}

std::vector<std::string> StatusWarnings(const CompareOutcome& outcome) {
    std::vector<std::string> warnings;
    for (std::size_t page = 0; page < outcome.pageStatus.size(); ++page) {
        if (outcome.pageStatus[page] >= 400) {
            warnings.push_back("Warnung: Internet-Seite " + std::to_string(page + 1) +
                               " antwortete mit " + std::to_string(outcome.pageStatus[page]));
        }
    }
    return warnings;
}

std::string ResultLine(LineIndex differenceCount) {
    if (differenceCount == 0) {
        return "Ergebnis: Keine Unterschiede";
    }
    // The page keeps the plural for a single difference too.
    return "Ergebnis: " + std::to_string(differenceCount) + " Unterschiede";
}

}  // namespace tandemix::cli
