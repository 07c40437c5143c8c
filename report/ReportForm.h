#pragma once

namespace tandemix {

// The four framed pages of the original tool, or one self-contained page.
enum class ReportForm { Framed, Single };

}  // namespace tandemix
