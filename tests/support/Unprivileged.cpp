#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tandemix::testing {

ChildOutcome RunUnprivileged(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::geteuid() != 0 || (::setgroups(0, nullptr) == 0 &&
                                                  ::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(!dropped ? 2 : check() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return ChildOutcome::Failed;
    }
    const ChildOutcome outcomes[] = {ChildOutcome::Passed, ChildOutcome::Failed,
                                     ChildOutcome::NoPrivilegesToDrop};
    return outcomes[WEXITSTATUS(status) <= 2 ? WEXITSTATUS(status) : 1];
}

}  // namespace tandemix::testing
