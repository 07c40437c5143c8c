#include "run/InputLoading.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

#include "base/FailureReason.h"
#include "base/Messages.h"
#include "base/Side.h"
#include "base/SideBySide.h"
#include "folders/FolderListing.h"

namespace tandemix {
namespace {

class BufferedDebugLog final : public DebugLog {
public:
    void Write(std::string_view line) override { lines_.emplace_back(line); }
    void ReplayTo(DebugLog& log) const {
        for (const std::string& line : lines_) {
            log.Write(line);
        }
    }

private:
    std::vector<std::string> lines_;
};

FolderListingResult LoadInput(const std::string& path, InputKind kind, const OptionMap& options,
                              FolderComparison folders, TextDocument& input, DebugLog& log,
                              ListedSizes* sizes, const MatchRule* prepared) {
    if (kind == InputKind::Folder) {
        return LoadFolder(input, path, options, FolderListingChoices{folders}, sizes);
    }
    input.LoadFile(path, options, log, prepared);
    return {};
}

}  // namespace

InputKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return InputKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? InputKind::Folder : InputKind::File;
}

namespace {

// Why an input is missing, after the fixed sentence.
std::string MissingInput(Side side, const std::string& path,
                         const std::array<std::string, 2>* addresses) {
    if (addresses != nullptr) {
        return messages::InputMissing(Number(side), (*addresses)[Index(side)],
                                      messages::kPageNotFetched);
    }
    if (path.empty()) {
        return messages::InputMissing(Number(side), path, messages::kNothingGiven);
    }
    struct stat info {};
    const int error = ::stat(path.c_str(), &info) == 0 ? ENOENT : errno;
    return messages::InputMissing(Number(side), path, LookupFailureReason(error));
}

}  // namespace

std::optional<InputKind> KindOfInputs(const std::array<std::string, 2>& paths,
                                      MessageSink& messages,
                                      const std::array<std::string, 2>* addresses) {
    std::array<InputKind, 2> kinds{};
    for (const Side side : kBothSides) {
        kinds[Index(side)] = KindOfPath(paths[Index(side)]);
        if (kinds[Index(side)] == InputKind::Missing) {
            messages.Warn(MissingInput(side, paths[Index(side)], addresses));
            return std::nullopt;
        }
    }
    if (kinds[0] != kinds[1]) {
        messages.Warn(messages::kKindsDiffer);
        return std::nullopt;
    }
    return kinds[0];
}

InputProblem CheckInput(const std::string& path, InputKind kind, const DocumentLimits& limits) {
    if (kind == InputKind::Folder) {
        const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(path.c_str()), ::closedir);
        return folder ? InputProblem{} : InputProblem{InputProblemKind::Unreadable, errno};
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return InputProblem{InputProblemKind::Unreadable, errno};
    }
    if (!S_ISREG(info.st_mode)) {
        return InputProblem{InputProblemKind::NotRegularFile};
    }
    if (static_cast<std::uint64_t>(info.st_size) > limits.mostBytes) {
        return InputProblem{InputProblemKind::TooLarge};
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return InputProblem{InputProblemKind::Unreadable, errno};
    }
    ::close(fd);
    return {};
}

std::uint64_t InputSize(const std::string& path, InputKind kind) {
    struct stat info {};
    if (kind != InputKind::File || ::stat(path.c_str(), &info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::string ProblemMessage(const InputProblem& problem, std::string_view input,
                           std::string_view shown, const DocumentLimits& limits) {
    switch (problem.kind) {
        case InputProblemKind::NotRegularFile:
            return messages::NotARegularFile(input, shown);
        case InputProblemKind::TooLarge:
            return messages::InputTooLarge(input, shown, limits.mostBytes);
        case InputProblemKind::TooManyLines:
            return messages::TooManyLines(input, shown, limits.mostLines);
        case InputProblemKind::Unreadable:
        case InputProblemKind::None:
            break;
    }
    return messages::CannotReadInput(input, shown, ReadFailureReason(problem.errorNumber));
}

std::array<FolderListingResult, 2> LoadInputs(const std::array<std::string, 2>& paths,
                                              InputKind kind, const OptionMap& options,
                                              std::array<TextDocument, 2>& inputs, DebugLog& log,
                                              FolderComparison folders,
                                              std::array<ListedSizes, 2>* sizes,
                                              const MatchRule* prepared) {
    std::array<BufferedDebugLog, 2> logs;
    std::array<FolderListingResult, 2> listings;
    const auto load = [&](Side side) {
        const std::size_t at = Index(side);
        listings[at] = LoadInput(paths[at], kind, options, folders, inputs[at], logs[at],
                                 sizes != nullptr ? &(*sizes)[at] : nullptr, prepared);
    };
    // Reading and splitting a small file takes less than starting a thread; a folder is
    // listed side by side whatever it holds.
    constexpr std::uint64_t kBytesWorthSharing = 1024 * 1024;
    const Sharing sharing =
        kind == InputKind::File &&
                InputSize(paths[0], kind) + InputSize(paths[1], kind) < kBytesWorthSharing
            ? Sharing::OneAfterTheOther
            : Sharing::SideBySide;
    RunSideBySide(
        sharing, [&] { load(Side::One); }, [&] { load(Side::Two); });
    for (const BufferedDebugLog& each : logs) {
        each.ReplayTo(log);
    }
    return listings;
}

}  // namespace tandemix
