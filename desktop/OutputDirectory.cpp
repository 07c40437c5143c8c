#include "desktop/OutputDirectory.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/Paths.h"
#include "base/UniqueFd.h"

namespace tandemix {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDocumentsKey = "XDG_DOCUMENTS_DIR=";
constexpr std::string_view kHomeVariable = "$HOME";
constexpr std::string_view kBracedHomeVariable = "${HOME}";
constexpr std::string_view kWriteTestName = "~ChckWr.tst";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A relative folder would depend on where the program happens to be started.
bool IsAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

std::string HomeFromPasswordFile() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

// The value of one assignment line as the desktop's helper writes it: quoted, with "\"
// before quotes, backslashes, dollars and backquotes, and a leading "$HOME" for the home.
std::optional<std::string> ParseUserDirsValue(std::string_view value, const std::string& home) {
    std::string raw;
    if (!value.empty() && value.front() == '"') {
        value.remove_prefix(1);
        bool escaped = false;
        bool closed = false;
        for (const char c : value) {
            if (escaped) {
                raw.push_back('\\');
                raw.push_back(c);
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                closed = true;
                break;
            } else {
                raw.push_back(c);
            }
        }
        if (!closed) {
            return std::nullopt;
        }
    } else {
        raw = value.substr(0, value.find_first_of(" \t#"));
    }

    std::string path;
    std::string_view rest = raw;
    for (const std::string_view variable : {kBracedHomeVariable, kHomeVariable}) {
        if (rest.starts_with(variable) &&
            (rest.size() == variable.size() || rest[variable.size()] == '/')) {
            if (home.empty()) {
                return std::nullopt;
            }
            path = home;
            rest.remove_prefix(variable.size());
            break;
        }
    }
    // Escapes are undone only after the expansion, so "\$HOME" stays literal.
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size()) {
            ++i;
        }
        path.push_back(rest[i]);
    }
    if (!IsAbsolute(path)) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> DocumentsFromUserDirs(const OutputDirectoryEnvironment& env) {
    std::string configHome = env.configHome;
    if (!IsAbsolute(configHome)) {
        if (!IsAbsolute(env.home)) {
            return std::nullopt;
        }
        configHome = env.home + "/.config";
    }
    std::ifstream file(configHome + "/user-dirs.dirs");
    std::optional<std::string> found;
    std::string line;
    while (std::getline(file, line)) {
        std::string_view text = line;
        text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
        if (text.starts_with(kDocumentsKey)) {
            // Later assignments win, as when the shell reads the file.
            if (auto path = ParseUserDirsValue(text.substr(kDocumentsKey.size()), env.home)) {
                found = std::move(path);
            }
        }
    }
    return found;
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool EnsureDirectory(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return IsDirectory(path);
}

// The last resort is only taken when a file can really be created there.
bool CanWriteIn(const std::string& directory) {
    const std::string probe = directory + "/" + std::string(kWriteTestName);
    const int fd =
        ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// Anyone who can write into a folder can plant links and files there under the names the
// report will take. A group of the user's own counts as the user.
bool WritableByOthers(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return false;
    }
    return info.st_uid != ::geteuid() || (info.st_mode & S_IWOTH) != 0 ||
           ((info.st_mode & S_IWGRP) != 0 && info.st_gid != ::getegid());
}

// The folder is made when missing; one that is there is taken only when it is the user's
// own, not a link, and closed to everybody else.
bool MakePrivateFolder(const std::string& path) {
    constexpr mode_t kPrivate = S_IRWXU;
    const bool made = ::mkdir(path.c_str(), kPrivate) == 0;
    if (!made && errno != EEXIST) {
        return false;
    }
    const UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (made && folder.IsOpen()) {
        // Whatever the umask took away.
        ::fchmod(folder.Get(), kPrivate);
    }
    struct stat info {};
    return folder.IsOpen() && ::fstat(folder.Get(), &info) == 0 && info.st_uid == ::geteuid() &&
           (info.st_mode & 07777) == kPrivate;
}

std::optional<std::string> DataDirectory(const OutputDirectoryEnvironment& env) {
    if (IsAbsolute(env.dataHome)) {
        return env.dataHome;
    }
    if (IsAbsolute(env.home)) {
        return env.home + "/.local/share";
    }
    return std::nullopt;
}

// The documents folder as the desktop names it, before it is checked or created.
std::optional<std::string> DocumentsDirectory(const OutputDirectoryEnvironment& env) {
    if (IsAbsolute(env.documentsDirectory)) {
        return env.documentsDirectory;
    }
    if (auto fromFile = DocumentsFromUserDirs(env)) {
        return fromFile;
    }
    if (IsAbsolute(env.home)) {
        return env.home + "/Documents";
    }
    return std::nullopt;
}

}  // namespace

OutputDirectoryEnvironment OutputDirectoryEnvironment::FromProcess() {
    OutputDirectoryEnvironment env;
    env.home = Variable("HOME");
    if (env.home.empty()) {
        env.home = HomeFromPasswordFile();
    }
    env.documentsDirectory = Variable("XDG_DOCUMENTS_DIR");
    env.configHome = Variable("XDG_CONFIG_HOME");
    env.dataHome = Variable("XDG_DATA_HOME");
    env.tempDirectory = Variable("TMPDIR");
    std::error_code error;
    env.workingDirectory = fs::current_path(error).string();
    return env;
}

std::optional<std::string> FindOutputDirectory(const OutputDirectoryEnvironment& env,
                                               MessageSink& messages) {
    for (const auto& candidate : {DocumentsDirectory(env), DataDirectory(env)}) {
        if (candidate && EnsureDirectory(*candidate)) {
            return WithoutTrailingSeparators(*candidate);
        }
    }
    std::optional<std::string> found;
    for (const std::string& temp : {env.tempDirectory, env.systemTemp}) {
        if (IsAbsolute(temp) && IsDirectory(temp)) {
            found = WithoutTrailingSeparators(temp);
            break;
        }
    }
    if (!found && IsAbsolute(env.workingDirectory) && CanWriteIn(env.workingDirectory)) {
        found = WithoutTrailingSeparators(env.workingDirectory);
    }
    if (!found) {
        messages.Warn(messages::kNoOutputDirectory);
        return std::nullopt;
    }
    if (!WritableByOthers(*found)) {
        return found;
    }
    std::string own = (*found == "/" ? "" : *found) + "/tandemix-" + std::to_string(::geteuid());
    if (!MakePrivateFolder(own)) {
        messages.Warn(messages::NotAPrivateFolder(own));
        return std::nullopt;
    }
    return own;
}

}  // namespace tandemix
