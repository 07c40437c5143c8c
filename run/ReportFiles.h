#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteSink.h"

namespace tandemix {

// The files of one report, replaced all or nothing. Each file is written under a temporary
// name beside the one it will take, as its bytes come; only when every file is complete
// and on disk are they renamed over the old ones, in the order they were added. The old
// files are kept under temporary names until every rename succeeded, and put back when
// one fails. A report that fails or is abandoned leaves the old files as they were and no
// temporary files.
class ReportFiles {
public:
    struct Failure {
        std::string path;  // the file's own path, not the temporary one
        int errorNumber = 0;
    };
    // How a finished file takes its place, as rename(2) does; tests hand in one that fails.
    using Rename = std::function<int(const char* from, const char* to)>;

    explicit ReportFiles(std::string directory, Rename rename = {});
    ~ReportFiles();
    ReportFiles(const ReportFiles&) = delete;
    ReportFiles& operator=(const ReportFiles&) = delete;

    // Begins the file of this name in the folder; what is appended to the sink becomes its
    // bytes. The sink stays valid as long as this object, and each sink may be written on
    // a thread of its own.
    ByteSink& Add(std::string_view name);

    // Puts every file in its place; false when one could not be written or placed, and then
    // the old files are as they were.
    bool Commit();

    // The files that could not be written, in the order they were added.
    std::vector<Failure> Failures() const;

private:
    class File;

    bool PlaceAll();

    std::string directory_;
    Rename rename_;
    std::vector<std::unique_ptr<File>> files_;
};

}  // namespace tandemix
