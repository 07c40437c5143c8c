#pragma once

#include <cstdint>
#include <optional>

namespace tandemix {

// The bytes of memory this process can still take without making the machine swap or
// hitting its control group's limit: the smaller of the system's MemAvailable and the room
// left under the group's memory.max. Nothing when neither can be read.
std::optional<std::uint64_t> AvailableMemory();

}  // namespace tandemix
