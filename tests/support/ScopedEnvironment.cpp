#include "support/ScopedEnvironment.h"

#include <cstdlib>
#include <ranges>

namespace tandemix::testing {

ScopedEnvironment::ScopedEnvironment(std::initializer_list<const char*> unset) {
    for (const char* name : unset) {
        Set(name, nullptr);
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    // Latest first, so that a variable changed twice ends as it was before the first change.
    for (const auto& [name, value] : std::views::reverse(saved_)) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
}

void ScopedEnvironment::Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

}  // namespace tandemix::testing
