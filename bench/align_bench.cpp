// Times the engine in-process and prints one line of key=value figures, so a script can
// pick the numbers apart without parsing prose.

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/OptionMap.h"
#include "diff/DifferenceEngine.h"
#include "diff/MinimalAlignment.h"
#include "document/TextDocument.h"
#include "folders/FolderListing.h"
#include "report/OutputNames.h"
#include "report/ReportWriter.h"
#include "report/SingleReport.h"
#include "run/InputLoading.h"
#include "run/ReportFiles.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Kept, the lines are exactly those that other line-based tools compare.
enum class EmptyLines { Dropped, Kept };

// The options a user comparing source files would typically pick.
tandemix::OptionMap BenchOptions(EmptyLines emptyLines = EmptyLines::Dropped) {
    using tandemix::OptionMap;
    OptionMap options;
    options.Set(OptionMap::kCase, "yes");
    options.Set(OptionMap::kIndent, "yes");
    options.Set(OptionMap::kShowEmptyLines, emptyLines == EmptyLines::Kept ? "yes" : "no");
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

// How the bench aligns: the pass, and for the minimal one the search's cost cutoff.
struct AlignChoice {
    tandemix::Alignment alignment = tandemix::Alignment::Greedy;
    std::optional<tandemix::LineIndex> costCutoff;
    EmptyLines emptyLines = EmptyLines::Dropped;
    // "space-change" or "all-space": the blank rule of -b or -w; empty for none.
    std::string_view spaceRule;
};

int Align(const std::string& path1, const std::string& path2, const AlignChoice& choice) {
    using namespace tandemix;
    OptionMap options = BenchOptions(choice.emptyLines);
    if (choice.spaceRule == "space-change") {
        options.Set(OptionMap::kIgnoreSpaceChange, "yes");
    } else if (choice.spaceRule == "all-space") {
        options.Set(OptionMap::kIgnoreAllSpace, "yes");
    }
    StderrDebugLog log;
    std::array<TextDocument, 2> inputs{TextDocument(CodePage::None), TextDocument(CodePage::None)};

    const Clock::time_point loadStart = Clock::now();
    LoadInputs({path1, path2}, InputKind::File, options, inputs, log);
    if (inputs[0].GetName().empty() || inputs[1].GetName().empty()) {
        return 1;
    }
    const double loadSeconds = SecondsSince(loadStart);

    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    const Clock::time_point alignStart = Clock::now();
    if (choice.costCutoff) {
        AlignMinimal(inputs[0], inputs[1], rows1, rows2, SearchLimits{*choice.costCutoff});
    } else {
        ComputeDifferences(inputs[0], inputs[1], rows1, rows2, choice.alignment);
    }
    const double alignSeconds = SecondsSince(alignStart);

    const MarkCounts counts1 = rows1.CountMarks();
    const MarkCounts counts2 = rows2.CountMarks();
    // What the lines of both inputs and the rows of both sides take together, texts aside,
    // counted from their containers.
    const std::size_t lineBytes = inputs[0].GetLineMemory() + inputs[1].GetLineMemory() +
                                  rows1.GetLineMemory() + rows2.GetLineMemory();
    const double bytesPerRow = static_cast<double>(lineBytes) /
                               static_cast<double>(std::max<LineIndex>(rows1.GetLineCount(), 1));
    std::printf(
        "load_s=%.6f align_s=%.6f lines1=%td lines2=%td rows=%td changed=%td deleted=%td "
        "added=%td touched=%td bytes_per_row=%.1f peak_rss_mib=%.1f\n",
        loadSeconds, alignSeconds, inputs[0].GetLineCount(), inputs[1].GetLineCount(),
        rows1.GetLineCount(), counts1.changed, counts1.deleted, counts2.added,
        counts2.added + counts1.deleted + 2 * counts1.changed, bytesPerRow, PeakRssMib());
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

long long FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Generating and writing each report form for the same rows, alternately, best of `runs`.
int Report(const std::string& path1, const std::string& path2, const std::string& outputDir) {
    using namespace tandemix;
    constexpr int runs = 3;
    const OptionMap options = BenchOptions();
    StderrDebugLog log;
    std::array<TextDocument, 2> inputs{TextDocument(CodePage::None), TextDocument(CodePage::None)};
    LoadInputs({path1, path2}, InputKind::File, options, inputs, log);
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    ComputeDifferences(inputs[0], inputs[1], rows1, rows2);

    const std::string single = OutputPath(outputDir, kSingleReportName);
    const std::string pages[] = {OutputPath(outputDir, kTopPageName),
                                 OutputPath(outputDir, kPage1Name),
                                 OutputPath(outputDir, kPage2Name)};
    double framedBest = 1e9;
    double singleBest = 1e9;
    const ReportHead head{{path1, path2}, CodePage::None, LineNumbers::Shown};
    for (int run = 0; run < runs; ++run) {
        Clock::time_point start = Clock::now();
        ReportFiles framed(outputDir);
        WriteFramedReport(
            rows1, rows2, head,
            {framed.Add(kTopPageName), {framed.Add(kPage1Name), framed.Add(kPage2Name)}});
        if (!framed.Commit()) {
            return 1;
        }
        framedBest = std::min(framedBest, SecondsSince(start));
        start = Clock::now();
        ReportFiles one(outputDir);
        WriteSingleReport(rows1, rows2, head, one.Add(kSingleReportName));
        if (!one.Commit()) {
            return 1;
        }
        singleBest = std::min(singleBest, SecondsSince(start));
    }
    const long long framedBytes = FileSize(pages[0]) + FileSize(pages[1]) + FileSize(pages[2]);
    std::printf(
        "rows=%td framed_write_s=%.6f single_write_s=%.6f framed_bytes=%lld single_bytes=%lld "
        "input_bytes=%lld peak_rss_mib=%.1f\n",
        rows1.GetLineCount(), framedBest, singleBest, framedBytes, FileSize(single),
        FileSize(path1) + FileSize(path2), PeakRssMib());
    return 0;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s align FILE1 FILE2 [greedy|minimal|CUTOFF] [keep-empty]\n"
                 "             [space-change|all-space]\n"
                 "       (a number chooses the minimal pass with that cost cutoff)\n"
                 "       %s folder DIR\n"
                 "       %s report FILE1 FILE2 OUTDIR\n",
                 program, program, program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage(argv[0]);
    }
    const std::string_view command = argv[1];
    if (command == "align" && argc >= 4 && argc <= 7) {
        AlignChoice choice;
        const std::string_view pass = argc >= 5 ? argv[4] : "greedy";
        if (pass == "minimal") {
            choice.alignment = tandemix::Alignment::Minimal;
        } else if (!pass.empty() && pass.find_first_not_of("0123456789") == std::string::npos) {
            choice.alignment = tandemix::Alignment::Minimal;
            choice.costCutoff = std::stol(std::string(pass));
        } else if (pass != "greedy") {
            return Usage(argv[0]);
        }
        for (int at = 5; at < argc; ++at) {
            const std::string_view word = argv[at];
            if (word == "keep-empty") {
                choice.emptyLines = EmptyLines::Kept;
            } else if (word == "space-change" || word == "all-space") {
                choice.spaceRule = word;
            } else {
                return Usage(argv[0]);
            }
        }
        return Align(argv[2], argv[3], choice);
    }
    if (command == "report" && argc == 5) {
        return Report(argv[2], argv[3], argv[4]);
    }
    if (command == "folder" && argc == 3) {
        return Folder(argv[2]);
    }
    return Usage(argv[0]);
}
