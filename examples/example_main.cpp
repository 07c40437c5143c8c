// Compares two files or two folders and prints the aligned rows, one pair per line.

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "core/CodePage.h"
#include "diff/DifferenceEngine.h"
#include "diff/FolderListing.h"
#include "diff/LineMark.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

char MarkLetter(std::int32_t mark) {
    switch (mark) {
        case tandemix::MarkChanged:
            return 'C';
        case tandemix::MarkAdded:
            return 'A';
        case tandemix::MarkDeleted:
            return 'D';
        default:
            return ' ';
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT1 INPUT2\n", argv[0]);
        return 2;
    }
    using namespace tandemix;
    const CodePage codePage = CodePageFromLocale();
    OptionMap options;
    options.Set(OptionMap::kCase, "yes");
    options.Set(OptionMap::kIndent, "yes");
    StderrDebugLog log;
    TextDocument input1(codePage);
    TextDocument input2(codePage);
    if (IsFolder(argv[1]) && IsFolder(argv[2])) {
        LoadFolder(input1, argv[1], options);
        LoadFolder(input2, argv[2], options);
    } else {
        input1.LoadFile(argv[1], options, log);
        input2.LoadFile(argv[2], options, log);
    }
    TextDocument rows1(codePage);
    TextDocument rows2(codePage);
    ComputeDifferences(input1, input2, rows1, rows2);
    for (LineIndex r = 0; r < rows1.GetLineCount(); ++r) {
        const std::string left(rows1.GetLineText(r));
        const std::string right(rows2.GetLineText(r));
        std::printf("%c %-38.38s | %c %s\n", MarkLetter(rows1.GetMark(r)), left.c_str(),
                    MarkLetter(rows2.GetMark(r)), right.c_str());
    }
    const MarkCounts counts1 = rows1.CountMarks();
    const MarkCounts counts2 = rows2.CountMarks();
    std::printf("%td differences\n", counts1.changed + counts1.added + counts1.deleted +
                                         counts2.added + counts2.deleted);
    return 0;
}
