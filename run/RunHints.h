#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/LineIndex.h"

namespace tandemix {

// Signs that a default choice gave a misleading picture. The report stays as it is; the
// front ends pass the hints on as notes that name the choice that looks closer.
struct RunHints {
    // The greedy pass marked a large share of the rows as differing (see ManyRowsDiffer).
    bool manyRowsDiffer = false;
    // Files of two folders compared by time that are paired by equal name and time but
    // differ in size.
    std::uint64_t resizedFilePairs = 0;
};

// The rule for the first hint: at least 1,000 rows, more than half of them differing. A
// shortest edit script often marks far fewer where the greedy pass paired a recurring line
// with a distant one; small inputs are left alone, where a glance tells.
bool ManyRowsDiffer(LineIndex rows, LineIndex differingRows);

// How a front end names the choices a hint points to.
struct ChoiceNames {
    std::string_view minimalAlignment;
    std::string_view folderContents;
};

inline constexpr ChoiceNames kCommandLineChoices{"--alignment minimal", "--folder-contents"};

// One German line per hint, each beginning with "Hinweis: "; none without hints.
std::vector<std::string> HintNotes(const RunHints& hints, const ChoiceNames& names);

}  // namespace tandemix
