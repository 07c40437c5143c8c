#pragma once

#include "cli/CommandLine.h"
#include "cli/TextOut.h"

namespace tandemix::cli {

// --brief: compares the two inputs entry by entry and prints one line per difference to
// out (nothing with --quiet), messages and notes to err. Returns the exit status: 0 no
// differences, 1 differences, 2 when the comparison could not be made or could not see
// everything (an unreadable entry, the entry limit).
int RunBrief(const CompareInvocation& invocation, const TextOut& out, const TextOut& err);

}  // namespace tandemix::cli
