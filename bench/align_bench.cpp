// Times the engine in-process and prints one line of key=value figures, so a script can
// pick the numbers apart without parsing prose.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/OptionMap.h"
#include "diff/DifferenceEngine.h"
#include "document/FolderListing.h"
#include "document/TextDocument.h"
#include "run/InputLoading.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The options a user comparing source files would typically pick.
tandemix::OptionMap BenchOptions() {
    using tandemix::OptionMap;
    OptionMap options;
    options.Set(OptionMap::kCase, "yes");
    options.Set(OptionMap::kIndent, "yes");
    options.Set(OptionMap::kShowEmptyLines, "no");
    options.Set(OptionMap::kLineBreakAfterEachTag, "no");
    options.Set(OptionMap::kDeleteAllTags, "no");
    return options;
}

double PeakRssMib() {
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0) {
        return -1.0;
    }
    // Linux reports kibibytes.
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int Align(const std::string& path1, const std::string& path2) {
    using namespace tandemix;
    const OptionMap options = BenchOptions();
    StderrDebugLog log;
    TextDocument input1(CodePage::None);
    TextDocument input2(CodePage::None);

    const Clock::time_point loadStart = Clock::now();
    LoadInputs(path1, path2, InputKind::File, options, input1, input2, log);
    if (input1.GetName().empty() || input2.GetName().empty()) {
        return 1;
    }
    const double loadSeconds = SecondsSince(loadStart);

    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    const Clock::time_point alignStart = Clock::now();
    ComputeDifferences(input1, input2, rows1, rows2);
    const double alignSeconds = SecondsSince(alignStart);

    const MarkCounts counts1 = rows1.CountMarks();
    const MarkCounts counts2 = rows2.CountMarks();
    // What the lines of both inputs and the rows of both sides take together, texts aside,
    // counted from their containers.
    const std::size_t lineBytes = input1.GetLineMemory() + input2.GetLineMemory() +
                                  rows1.GetLineMemory() + rows2.GetLineMemory();
    const double bytesPerRow = static_cast<double>(lineBytes) /
                               static_cast<double>(std::max<LineIndex>(rows1.GetLineCount(), 1));
    std::printf(
        "load_s=%.6f align_s=%.6f lines1=%td lines2=%td rows=%td changed=%td deleted=%td "
        "added=%td bytes_per_row=%.1f peak_rss_mib=%.1f\n",
        loadSeconds, alignSeconds, input1.GetLineCount(), input2.GetLineCount(),
        rows1.GetLineCount(), counts1.changed, counts1.deleted, counts2.added, bytesPerRow,
        PeakRssMib());
    return 0;
}

int Folder(const std::string& path) {
    using namespace tandemix;
    TextDocument listing(CodePage::None);
    const Clock::time_point start = Clock::now();
    if (!LoadFolder(listing, path, BenchOptions())) {
        std::fprintf(stderr, "cannot list %s\n", path.c_str());
        return 1;
    }
    const double seconds = SecondsSince(start);
    std::printf("folder_s=%.6f lines=%td peak_rss_mib=%.1f\n", seconds, listing.GetLineCount(),
                PeakRssMib());
    return 0;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s align FILE1 FILE2\n"
                 "       %s folder DIR\n",
                 program, program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage(argv[0]);
    }
    const std::string_view command = argv[1];
    if (command == "align" && argc == 4) {
        return Align(argv[2], argv[3]);
    }
    if (command == "folder" && argc == 3) {
        return Folder(argv[2]);
    }
    return Usage(argv[0]);
}
