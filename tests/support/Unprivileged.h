#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tandemix::testing {

enum class ChildOutcome { Passed, Failed, NoPrivilegesToDrop };

// Runs the check in a child process, as the user nobody when the tests run as root, whom
// permission bits do not stop. The check returns whether it passed.
template <class Check>
ChildOutcome RunUnprivileged(Check check) {
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
