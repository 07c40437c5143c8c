#include "cli/StageProgress.h"

namespace tandemix::cli {

std::string_view StageText(RunStage stage) {
    switch (stage) {
        case RunStage::Fetching:
            return "Lade Internet-Seiten...";
        case RunStage::Loading:
            return "Lade Eingaben...";
        case RunStage::Aligning:
            return "Vergleiche...";
        case RunStage::Generating:
            return "Erzeuge Seiten...";
        case RunStage::Writing:
            return "Schreibe Seiten...";
    }
    return {};
}

void StageProgress::OnStage(RunStage stage) {
    if (now_() - start_ > kQuietTime) {
        line_.Show(StageText(stage));
    }
}

}  // namespace tandemix::cli
