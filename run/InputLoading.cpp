#include "run/InputLoading.h"

#include <sys/stat.h>

#include <vector>

#include "base/SideBySide.h"
#include "document/FolderListing.h"

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

void LoadInput(const std::string& path, InputKind kind, const OptionMap& options,
               TextDocument& input, DebugLog& log) {
    if (kind == InputKind::Folder) {
        LoadFolder(input, path, options);
    } else {
        input.LoadFile(path, options, log);
    }
}

}  // namespace

InputKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return InputKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? InputKind::Folder : InputKind::File;
}

void LoadInputs(const std::string& path1, const std::string& path2, InputKind kind,
                const OptionMap& options, TextDocument& input1, TextDocument& input2,
                DebugLog& log) {
    BufferedDebugLog log1;
    BufferedDebugLog log2;
    RunSideBySide([&] { LoadInput(path1, kind, options, input1, log1); },
                  [&] { LoadInput(path2, kind, options, input2, log2); });
    log1.ReplayTo(log);
    log2.ReplayTo(log);
}

}  // namespace tandemix
