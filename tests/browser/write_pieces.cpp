// Writes the one-file report of two files with data blocks of at most PIECE_BYTES each, so
// that the browser tests can compare a report cut into many blocks with the same report in
// one. Usage: tandemix_write_pieces FILE1 FILE2 PIECE_BYTES OUT.html

#include <cstdlib>
#include <iostream>
#include <string>

#include "base/DebugLog.h"
#include "base/FileReplacement.h"
#include "base/OptionMap.h"
#include "diff/DifferenceEngine.h"
#include "report/SingleReport.h"

int main(int argc, char** argv) {
    using namespace tandemix;
    if (argc != 5) {
        std::cerr << "usage: tandemix_write_pieces FILE1 FILE2 PIECE_BYTES OUT.html\n";
        return 2;
    }
    StderrDebugLog log;
    const OptionMap options;
    TextDocument input1(CodePage::Utf8);
    TextDocument input2(CodePage::Utf8);
    if (!input1.LoadFile(argv[1], options, log) || !input2.LoadFile(argv[2], options, log)) {
        return 2;
    }
    TextDocument rows1(CodePage::Utf8);
    TextDocument rows2(CodePage::Utf8);
    ComputeDifferences(input1, input2, rows1, rows2);
    FileReplacement file(argv[4]);
    WriteSingleReport(rows1, rows2, {{argv[1], argv[2]}, CodePage::Utf8, LineNumbers::Shown}, file,
                      std::strtoull(argv[3], nullptr, 10));
    return file.Commit() ? 0 : 2;
}
