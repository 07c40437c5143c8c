#include "base/AvailableMemory.h"

#include <fcntl.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "base/UniqueFd.h"

namespace tandemix {
namespace {

constexpr std::uint64_t kKibibyte = 1024;

// The start of a small system file. Read without streams: a run asks this before it
// compares, and a stream would first set up the whole C++ locale.
std::string ReadStart(const std::string& path) {
    std::string text(8192, '\0');
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::size_t got = 0;
    while (fd.IsOpen() && got < text.size()) {
        const ssize_t n = ::read(fd.Get(), text.data() + got, text.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

// The number at the start of text, after blanks.
std::optional<std::uint64_t> LeadingNumber(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> MemAvailable() {
    const std::string meminfo = ReadStart("/proc/meminfo");
    constexpr std::string_view kKey = "MemAvailable:";
    const std::size_t at = meminfo.find(kKey);
    if (at == std::string::npos || (at > 0 && meminfo[at - 1] != '\n')) {
        return std::nullopt;
    }
    const auto kibibytes = LeadingNumber(std::string_view(meminfo).substr(at + kKey.size()));
    return kibibytes ? std::optional(*kibibytes * kKibibyte) : std::nullopt;
}

std::optional<std::uint64_t> ReadNumber(const std::string& path) {
    return LeadingNumber(ReadStart(path));
}

// The folder of the unified control group the process runs in ("0::/path").
std::string ControlGroupFolder() {
    const std::string groups = ReadStart("/proc/self/cgroup");
    std::string_view rest = groups;
    while (!rest.empty()) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(line.size() + 1, rest.size()));
        if (line.starts_with("0::")) {
            return "/sys/fs/cgroup" + std::string(line.substr(3));
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
