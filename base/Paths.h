#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// The path without the separators at its end; the root keeps its one separator.
inline std::string WithoutTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

}  // namespace tandemix
