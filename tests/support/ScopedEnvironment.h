#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tandemix::testing {

// Changes environment variables for one test and puts back what they were when it ends.
class ScopedEnvironment {
public:
    // Starts with the named variables unset.
    explicit ScopedEnvironment(std::initializer_list<const char*> unset = {});
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // nullptr unsets the variable.
    void Set(const char* name, const char* value);

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace tandemix::testing
