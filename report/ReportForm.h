#pragma once

namespace tandemix {

// The four framed pages (the default), or one self-contained page.
enum class ReportForm { Framed, Single };

}  // namespace tandemix
