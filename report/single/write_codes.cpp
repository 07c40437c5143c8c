// Writes the one-file report's script part that names the row codes and marks, from the
// definitions the writer uses. Usage: tandemix-row-codes OUT.js

#include <fstream>
#include <iostream>

#include "document/LineMark.h"
#include "report/RowCode.h"

namespace {

int Value(tandemix::RowCode code) {
    return static_cast<unsigned char>(code);
}
int Value(tandemix::LineMark mark) {
    return static_cast<int>(mark);
}

}  // namespace

int main(int argc, char** argv) {
    using tandemix::LineMark;
    using tandemix::RowCode;
    if (argc != 2) {
        std::cerr << "usage: tandemix-row-codes OUT.js\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Generated from report/RowCode.h and document/LineMark.h; do not edit.\n"
           "// A data block codes a row of one side as one character: a code plus the row's mark.\n"
           "/* exported codes */\n"
           "const codes = Object.freeze({\n"
           "  line: "
        << Value(RowCode::Line)
        << ",\n"
           "  sameText: "
        << Value(RowCode::SameText)
        << ",\n"
           "  placeholder: "
        << Value(RowCode::Placeholder)
        << ",\n"
           "  unchanged: "
        << Value(LineMark::MarkUnchanged)
        << ",\n"
           "  changed: "
        << Value(LineMark::MarkChanged)
        << ",\n"
           "  added: "
        << Value(LineMark::MarkAdded)
        << ",\n"
           "  deleted: "
        << Value(LineMark::MarkDeleted)
        << ",\n"
           "});\n";
    return out.good() ? 0 : 2;
}
