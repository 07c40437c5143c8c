#pragma once

#include <string>

#include "folders/TreeEntry.h"

namespace tandemix {

// One line per difference of its own, in path order, for scripts: a word, a tab and the
// path ("geändert", "nur-in-1", "nur-in-2", "art", "unlesbar"), or "verschoben", a tab,
// side 1's path, a tab and side 2's path. Paths keep their bytes; only the backslash, the
// tab and the line feed are written as "\\", "\t" and "\n".
std::string BriefListing(const TreeComparison& comparison);

// Whether the comparison could not see everything: an entry that could not be read, or a
// walk that ended at the entry limit.
bool Incomplete(const TreeComparison& comparison);

}  // namespace tandemix
