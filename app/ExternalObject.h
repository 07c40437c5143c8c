#pragma once

#include <QString>

namespace tandemix::app {

// The script, run in every frame before the page's own scripts, that gives pages their
// external object: a name that begins with "xxy" (width-insensitive) reads as "Wibble",
// every other name as undefined.
QString ExternalObjectScript();

}  // namespace tandemix::app
