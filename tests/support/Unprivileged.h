#pragma once

#include <functional>

namespace tandemix::testing {

enum class ChildOutcome { Passed, Failed, NoPrivilegesToDrop };

// Runs the check in a child process, as the user nobody when the tests run as root, whom
// permission bits do not stop. The check returns whether it passed.
ChildOutcome RunUnprivileged(const std::function<bool()>& check);

}  // namespace tandemix::testing
