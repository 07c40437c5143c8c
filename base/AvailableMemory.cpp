#include "base/AvailableMemory.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace tandemix {
namespace {

constexpr std::uint64_t kKibibyte = 1024;

std::optional<std::uint64_t> MemAvailable() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t value = 0;
    std::string unit;
    while (meminfo >> key >> value) {
        std::getline(meminfo, unit);
        if (key == "MemAvailable:") {
            return value * kKibibyte;
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> ReadNumber(const std::string& path) {
    std::ifstream file(path);
    std::uint64_t value = 0;
    if (file >> value) {
        return value;
    }
    return std::nullopt;
}

// The folder of the unified control group the process runs in ("0::/path").
std::string ControlGroupFolder() {
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        if (line.starts_with("0::")) {
            return "/sys/fs/cgroup" + line.substr(3);
        }
    }
    return "/sys/fs/cgroup";
}

// Containers cap memory through that group; "max" reads as no number and so as no cap.
std::optional<std::uint64_t> RoomInControlGroup() {
    const std::string folder = ControlGroupFolder();
    const auto most = ReadNumber(folder + "/memory.max");
    const auto used = ReadNumber(folder + "/memory.current");
    if (!most || !used) {
        return std::nullopt;
    }
    return *most > *used ? *most - *used : 0;
}

}  // namespace

std::optional<std::uint64_t> AvailableMemory() {
    const auto system = MemAvailable();
    const auto group = RoomInControlGroup();
    if (system && group) {
        return std::min(*system, *group);
    }
    return system ? system : group;
}

}  // namespace tandemix
