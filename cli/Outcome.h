#pragma once

#include <string>
#include <vector>

#include "report/ReportParts.h"
#include "run/Comparison.h"

namespace tandemix::cli {

// Exit statuses as diff(1) uses them.
enum class ExitStatus : int { NoDifferences = 0, Differences = 1, Trouble = 2 };

// A run that warned the user failed, even when its pages were written.
ExitStatus StatusOf(const CompareOutcome& outcome, bool warned);

}  // namespace tandemix::cli
