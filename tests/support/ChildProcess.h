#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tandemix::testing {

// Runs a program to its end with nothing to read and its output discarded; its exit status,
// or -1 when it could not be started.
int RunProgram(const std::vector<std::string>& arguments);

// A program that runs while this object lives, killed when it goes. Its standard input is a
// pipe from this process, so a helper that ends on end of input also ends when a test
// crashes.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // The next line of its standard output, without the newline; std::nullopt when none
    // comes within the timeout or the output ends.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

}  // namespace tandemix::testing
