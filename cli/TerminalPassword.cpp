#include "cli/TerminalPassword.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "base/UniqueFd.h"

namespace tandemix::cli {
namespace {

// Gives the terminal its settings back, however the reading ends.
class SettingsRestorer {
public:
    SettingsRestorer(int fd, const termios& saved) : fd_(fd), saved_(saved) {}
    ~SettingsRestorer() { ::tcsetattr(fd_, TCSANOW, &saved_); }
    SettingsRestorer(const SettingsRestorer&) = delete;
    SettingsRestorer& operator=(const SettingsRestorer&) = delete;

private:
    int fd_;
    termios saved_;
};

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::string> ReadLine(int fd) {
    std::string line;
    while (true) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        if (c == '\n') {
            return line;
        }
        line.push_back(c);
    }
}

}  // namespace

std::optional<std::string> ReadPasswordFromTerminal(std::string_view prompt, SignalWatch* watch) {
    const UniqueFd terminal(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios saved{};
    if (terminal.Get() < 0 || ::tcgetattr(terminal.Get(), &saved) != 0) {
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    // The Enter key still moves the cursor on, so what follows starts on a line of its own.
    quiet.c_lflag |= ECHONL;

    SignalWatch::Registration restoreOnSignal;
    if (watch != nullptr) {
        const int fd = terminal.Get();
        restoreOnSignal = watch->OnSignal([fd, saved] { ::tcsetattr(fd, TCSANOW, &saved); });
    }
    if (::tcsetattr(terminal.Get(), TCSAFLUSH, &quiet) != 0) {
        return std::nullopt;
    }
    const SettingsRestorer restorer(terminal.Get(), saved);
    if (!WriteAll(terminal.Get(), prompt)) {
        return std::nullopt;
    }
    return ReadLine(terminal.Get());
}

}  // namespace tandemix::cli
