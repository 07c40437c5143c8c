#include "run/InputLoading.h"

#include <sys/stat.h>

#include <vector>

#include "base/SideBySide.h"

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
                              FolderComparison folders, TextDocument& input, DebugLog& log) {
    if (kind == InputKind::Folder) {
        return LoadFolder(input, path, options, FolderListingChoices{folders});
    }
    input.LoadFile(path, options, log);
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

std::array<FolderListingResult, 2> LoadInputs(const std::string& path1, const std::string& path2,
                                              InputKind kind, const OptionMap& options,
                                              TextDocument& input1, TextDocument& input2,
                                              DebugLog& log, FolderComparison folders) {
    BufferedDebugLog log1;
    BufferedDebugLog log2;
    std::array<FolderListingResult, 2> listings;
    RunSideBySide([&] { listings[0] = LoadInput(path1, kind, options, folders, input1, log1); },
                  [&] { listings[1] = LoadInput(path2, kind, options, folders, input2, log2); });
    log1.ReplayTo(log);
    log2.ReplayTo(log);
    return listings;
}

}  // namespace tandemix
