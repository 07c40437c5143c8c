#pragma once

#include "diff/EditScript.h"
#include "diff/RowWriter.h"
#include "document/TextDocument.h"

namespace tandemix {

// Writes the rows of an edit script in input order: a kept line of each side as an
// unchanged pair, and each hunk of d deleted and a added lines as min(d, a) changed pairs
// and the rest as deleted or added rows. The pairs come first unless a line resembles a
// later line of the other side (HunkPairing).
void WriteHunkRows(const EditScript& script, const TextDocument& input1, const TextDocument& input2,
                   RowWriter& rows);

}  // namespace tandemix
