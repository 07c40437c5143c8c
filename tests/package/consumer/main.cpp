// Aligns two text files with the installed engine and prints the row counts.
//   align-two FILE1 FILE2

#include <cstdio>

#include <tandemix/base/CodePage.h>
#include <tandemix/base/DebugLog.h>
#include <tandemix/base/OptionMap.h>
#include <tandemix/diff/DifferenceEngine.h>
#include <tandemix/document/TextDocument.h>
#include <tandemix/run/InputLoading.h>

int main(int argc, char** argv) {
    using namespace tandemix;
    if (argc != 3) {
        std::fprintf(stderr, "usage: align-two FILE1 FILE2\n");
        return 2;
    }
    if (KindOfPath(argv[1]) != InputKind::File || KindOfPath(argv[2]) != InputKind::File) {
        std::fprintf(stderr, "align-two: two files expected\n");
        return 2;
    }
    StderrDebugLog log;
    TextDocument input1(CodePage::None);
    TextDocument input2(CodePage::None);
    LoadInputs(argv[1], argv[2], InputKind::File, OptionMap{}, input1, input2, log);

    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    ComputeDifferences(input1, input2, rows1, rows2);
    const MarkCounts left = rows1.CountMarks();
    const MarkCounts right = rows2.CountMarks();
    std::printf("rows=%td changed=%td deleted=%td added=%td\n", rows1.GetLineCount(), left.changed,
                left.deleted, right.added);
    return 0;
}
