#include "desktop/DesktopLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/PasswordVariable.h"

namespace tandemix {
namespace {

constexpr const char* kOpenByFileType = "xdg-open";
constexpr const char* kViewerName = "tandemix-viewer";
constexpr std::array<const char*, 2> kBrowserLaunchers = {"x-www-browser", "sensible-browser"};

struct Program {
    std::string name;  // a path, or a bare name looked up on PATH
    bool searchPath = true;
};

// Sends the child's standard output to /dev/null; the command line's own output stays clean.
class QuietOutput {
public:
    QuietOutput() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    ~QuietOutput() { ::posix_spawn_file_actions_destroy(&actions_); }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

    const posix_spawn_file_actions_t* Get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

// A started program in a session of its own, so that it outlives the terminal or window
// that started it.
class OwnSession {
public:
    OwnSession() {
        ::posix_spawnattr_init(&attributes_);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID);
    }
    ~OwnSession() { ::posix_spawnattr_destroy(&attributes_); }
    OwnSession(const OwnSession&) = delete;
    OwnSession& operator=(const OwnSession&) = delete;

    const posix_spawnattr_t* Get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_{};
};

enum class Session { Same, Own };

// The environment a started program gets: this one's, less the password, which a browser
// and everything it starts in turn have no business holding.
class ChildEnvironment {
public:
    ChildEnvironment() {
        const std::string secret = std::string(kPasswordVariable) + "=";
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (!std::string_view(*entry).starts_with(secret)) {
                entries_.push_back(*entry);
            }
        }
        entries_.push_back(nullptr);
    }

    char* const* Get() const { return entries_.data(); }

private:
    std::vector<char*> entries_;
};

// One program with one argument, ready to start.
class Spawner {
public:
    Spawner(Program program, const std::string& argument, Session session)
        : program_(std::move(program)), argument_(argument), session_(session) {
        // A path that begins with a dash would be read as an option.
        if (argument_.starts_with('-')) {
            argument_.insert(0, "./");
        }
        argv_ = {program_.name.data(), argument_.data(), nullptr};
    }

    // The error number of the spawn, 0 when the program started.
    int Spawn(pid_t& pid) const {
        const posix_spawnattr_t* attributes =
            session_ == Session::Own ? ownSession_.Get() : nullptr;
        const ChildEnvironment environment;
        return program_.searchPath ? ::posix_spawnp(&pid, argv_[0], output_.Get(), attributes,
                                                    argv_.data(), environment.Get())
                                   : ::posix_spawn(&pid, argv_[0], output_.Get(), attributes,
                                                   argv_.data(), environment.Get());
    }

private:
    Program program_;
    std::string argument_;
    std::array<char*, 3> argv_{};
    Session session_;
    QuietOutput output_;
    OwnSession ownSession_;
};

std::optional<int> WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    return status;
}

bool ExitedCleanly(std::optional<int> status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

bool RunAndWait(Program program, const std::string& argument) {
    const Spawner spawner(std::move(program), argument, Session::Same);
    pid_t pid = 0;
    return spawner.Spawn(pid) == 0 && ExitedCleanly(WaitFor(pid));
}

// The spawn reports a program that cannot be executed, so a zero result means it runs. A
// thread of its own reaps it whenever it ends, so a long-lived window collects no zombies.
bool StartDetached(Program program, const std::string& argument) {
    const Spawner spawner(std::move(program), argument, Session::Own);
    pid_t pid = 0;
    if (spawner.Spawn(pid) != 0) {
        return false;
    }
    try {
        std::thread([pid] { WaitFor(pid); }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child stays a zombie until this process ends; it still runs.
    }
    return true;
}

std::string RunningProgramDirectory() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

Program Viewer(const std::string& programDirectory) {
    if (!programDirectory.empty()) {
        std::string beside = programDirectory + "/" + kViewerName;
        if (::access(beside.c_str(), X_OK) == 0) {
            return {std::move(beside), false};
        }
    }
    return {kViewerName, true};
}

}  // namespace

DesktopLauncher::DesktopLauncher() : DesktopLauncher(RunningProgramDirectory()) {}

DesktopLauncher::DesktopLauncher(std::string programDirectory)
    : programDirectory_(std::move(programDirectory)) {}

bool DesktopLauncher::Launch(LaunchAttempt attempt, const std::string& containerPath) {
    switch (attempt) {
        case LaunchAttempt::ByFileType:
            return RunAndWait({kOpenByFileType, true}, containerPath);
        case LaunchAttempt::ReportViewer:
            return StartDetached(Viewer(programDirectory_), containerPath);
        case LaunchAttempt::BrowserLauncher:
            for (const char* launcher : kBrowserLaunchers) {
                if (StartDetached({launcher, true}, containerPath)) {
                    return true;
                }
            }
            return false;
    }
    return false;
}

}  // namespace tandemix
