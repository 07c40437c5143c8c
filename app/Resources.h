#pragma once

namespace tandemix::app {

// Registers the bundled help page, the logo and the icons. The library is static, so the
// linker would otherwise drop their registration; safe to call more than once.
void LoadResources();

}  // namespace tandemix::app
