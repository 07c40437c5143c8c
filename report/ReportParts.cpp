#include "report/ReportParts.h"

#include "report/RowColours.h"

namespace tandemix {

LineIndex DifferenceCount(const TextDocument& rows1, const TextDocument& rows2) {
    const MarkCounts side1 = rows1.CountMarks();
    const MarkCounts side2 = rows2.CountMarks();
    return side1.changed + side1.added + side1.deleted + side2.added + side2.deleted;
}

std::string ResultLine(LineIndex differenceCount) {
    std::string line(kResultStart);
    if (differenceCount == 0) {
        return line.append(kResultNone);
    }
    return line.append(Decimal(differenceCount).Text()).append(kResultCountEnd);
}

std::string Legend(const LegendMarkup& markup) {
    std::string legend;
    for (const RowColour& row : kRowColours) {
        legend.append(markup.boxStart).append(markup.byStyleClass ? row.styleClass : row.colour);
        legend.append(markup.boxEnd).append(row.legendWord).append(markup.wordEnd);
    }
    return legend;
}

}  // namespace tandemix
