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
    if (child < 0) {
        return ChildOutcome::Failed;
    }
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return ChildOutcome::Failed;
    }
    switch (WEXITSTATUS(status)) {
        case 0:
            return ChildOutcome::Passed;
        case 2:
            return ChildOutcome::NoPrivilegesToDrop;
        default:
            return ChildOutcome::Failed;
    }
}

}  // namespace tandemix::testing
