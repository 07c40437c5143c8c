#include "report/ReportData.h"

#include "report/ByteScan.h"
#include "report/ReportParts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tandemix {
namespace {

using Sides = std::array<const TextDocument*, 2>;

// The rows [from, to) that one block holds.
struct Piece {
    LineIndex from = 0;
    LineIndex to = 0;
};

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == '"' || byte == '\\' || byte == '<';
}

// The first byte at or after `from` that needs an escape, or the text's size.
std::size_t FindEscapeByte(std::string_view text, std::size_t from) {
    return FindFirstByte(
        text, from,
        [](std::uint64_t word) {
            return HasByteBelow(word, 0x20) | HasByte(word, '"') | HasByte(word, '\\') |
                   HasByte(word, '<');
        },
        NeedsEscape);
}

void AppendEscape(unsigned char byte, ChunkedOutput& out) {
    switch (byte) {
        case '"':
            out.Append("\\\"");
            return;
        case '\\':
            out.Append("\\\\");
            return;
        case '\n':
            out.Append("\\n");
            return;
        case '\r':
            out.Append("\\r");
            return;
        case '\t':
            out.Append("\\t");
            return;
        default:
            break;
    }
    constexpr std::string_view kHex = "0123456789abcdef";
    const std::array<char, 6> escape = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
    out.Append(std::string_view(escape.data(), escape.size()));
}

void AppendNumber(std::int64_t number, ChunkedOutput& out) {
    out.Append(Decimal(number).Text());
}

// A placeholder shows no line: it has no number and no text. The text is asked first: most
// rows have one, and a line's number is looked up among the runs of its file's numbers.
bool IsPlaceholder(const TextDocument& rows, LineIndex row) {
    return rows.GetLineText(row).empty() && rows.GetSourceLine(row) == 0;
}

// Unchanged rows mostly show the same text on both sides; the second side then refers to
// the first instead of carrying it again.
bool SharesText(const Sides& sides, LineIndex row) {
    return !IsPlaceholder(*sides[0], row) && !IsPlaceholder(*sides[1], row) &&
           sides[0]->GetLineText(row) == sides[1]->GetLineText(row);
}

RowCode CodeOf(const Sides& sides, std::size_t side, LineIndex row) {
    if (IsPlaceholder(*sides[side], row)) {
        return RowCode::Placeholder;
    }
    return side == 1 && SharesText(sides, row) ? RowCode::SameText : RowCode::Line;
}

void AppendMarks(const Sides& sides, std::size_t side, Piece piece, ChunkedOutput& out) {
    out.Append('"');
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        const auto mark = static_cast<char>(sides[side]->GetMark(row));
        out.Append(static_cast<char>(static_cast<char>(CodeOf(sides, side, row)) + mark));
    }
    out.Append('"');
}

void AppendLineNumbers(const TextDocument& rows, Piece piece, ChunkedOutput& out) {
    out.Append('[');
    std::int64_t next = 1;
    bool first = true;
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        if (IsPlaceholder(rows, row)) {
            continue;
        }
        const std::int64_t number = rows.GetSourceLine(row);
        if (number != next) {
            out.Append(first ? "" : ",");
            AppendNumber(row, out);
            out.Append(',');
            AppendNumber(number, out);
            first = false;
        }
        next = number + 1;
    }
    out.Append(']');
}

void AppendSections(const TextDocument& rows, Piece piece, ChunkedOutput& out) {
    out.Append('[');
    bool first = true;
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        if (const auto title = rows.GetSectionTitle(row)) {
            out.Append(first ? "" : ",");
            AppendNumber(row, out);
            out.Append(',');
            AppendJsonString(*title, out);
            first = false;
        }
    }
    out.Append(']');
}

void AppendBreaks(const Sides& sides, std::size_t side, Piece piece, ChunkedOutput& out) {
    out.Append('[');
    bool first = true;
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        if (CodeOf(sides, side, row) != RowCode::Line) {
            continue;
        }
        const std::string_view text = sides[side]->GetLineText(row);
        const auto feeds = std::count(text.begin(), text.end(), '\n');
        if (feeds > 0) {
            out.Append(first ? "" : ",");
            AppendNumber(row, out);
            out.Append(',');
            AppendNumber(feeds, out);
            first = false;
        }
    }
    out.Append(']');
}

void AppendTexts(const Sides& sides, std::size_t side, Piece piece, ChunkedOutput& out) {
    out.Append('"');
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        if (CodeOf(sides, side, row) == RowCode::Line) {
            AppendJsonStringContent(sides[side]->GetLineText(row), out);
            out.Append("\\n");
        }
    }
    out.Append('"');
}

bool HasIgnored(const Sides& sides, Piece piece) {
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        if (!sides[0]->GetIgnoredText(row).empty() || !sides[1]->GetIgnoredText(row).empty()) {
            return true;
        }
    }
    return false;
}

void AppendIgnored(const TextDocument& rows, Piece piece, ChunkedOutput& out) {
    out.Append('[');
    bool first = true;
    for (LineIndex row = piece.from; row < piece.to; ++row) {
        for (const TextSpan span : rows.GetIgnoredText(row)) {
            out.Append(first ? "" : ",");
            AppendNumber(row, out);
            out.Append(',');
            AppendNumber(span.begin, out);
            out.Append(',');
            AppendNumber(span.end, out);
            first = false;
        }
    }
    out.Append(']');
}

template <typename AppendSide>
void AppendPair(std::string_view key, ChunkedOutput& out, AppendSide appendSide) {
    out.Append(",\r\n\"");
    out.Append(key);
    out.Append("\":[");
    appendSide(std::size_t{0});
    out.Append(",\r\n");
    appendSide(std::size_t{1});
    out.Append(']');
}

// The most bytes a row can take in a block: each text and title byte as its longest
// escape, and the row's entries in the marks, numbers, sections, breaks and ignored parts.
std::size_t MostBytesOf(const Sides& sides, LineIndex row) {
    constexpr std::size_t kLongestEscape = 6;
    constexpr std::size_t kEntries = 128;
    std::size_t bytes = kEntries;
    for (const TextDocument* rows : sides) {
        if (row < rows->GetLineCount()) {
            bytes += kLongestEscape * rows->GetLineText(row).size();
            if (const auto title = rows->GetSectionTitle(row)) {
                bytes += kLongestEscape * title->size();
            }
            constexpr std::size_t kSpanEntry = 36;
            bytes += kSpanEntry * rows->GetIgnoredText(row).size();
        }
    }
    return bytes;
}

constexpr std::size_t kKeys = 256;

// The rows [from, to) cut into blocks of at most pieceBytes each (a single larger row stands
// alone); no rows still make one block.
std::vector<Piece> CutIntoPieces(const Sides& sides, LineIndex from, LineIndex to,
                                 std::size_t pieceBytes) {
    std::vector<Piece> pieces{{from, from}};
    std::size_t bytes = kKeys;
    for (LineIndex row = from; row < to; ++row) {
        const std::size_t rowBytes = MostBytesOf(sides, row);
        if (pieces.back().to > pieces.back().from && bytes + rowBytes > pieceBytes) {
            pieces.push_back({row, row});
            bytes = kKeys;
        }
        bytes += rowBytes;
        pieces.back().to = row + 1;
    }
    return pieces;
}

void AppendPiece(const Sides& sides, LineIndex rowCount, Piece piece, ChunkedOutput& out) {
    out.Append("{\"format\":2,\"rows\":");
    AppendNumber(rowCount, out);
    out.Append(",\"from\":");
    AppendNumber(piece.from, out);
    out.Append(",\"to\":");
    AppendNumber(piece.to, out);
    AppendPair("marks", out, [&](std::size_t side) { AppendMarks(sides, side, piece, out); });
    AppendPair("lines", out,
               [&](std::size_t side) { AppendLineNumbers(*sides[side], piece, out); });
    AppendPair("sections", out,
               [&](std::size_t side) { AppendSections(*sides[side], piece, out); });
    AppendPair("breaks", out, [&](std::size_t side) { AppendBreaks(sides, side, piece, out); });
    AppendPair("texts", out, [&](std::size_t side) { AppendTexts(sides, side, piece, out); });
    if (HasIgnored(sides, piece)) {
        AppendPair("ignored", out,
                   [&](std::size_t side) { AppendIgnored(*sides[side], piece, out); });
    }
    out.Append("}");
}

}  // namespace

LineIndex RowCountOf(const TextDocument& rows1, const TextDocument& rows2) {
    return std::max(rows1.GetLineCount(), rows2.GetLineCount());
}

LineIndex FirstScreensEnd(const TextDocument& rows1, const TextDocument& rows2,
                          std::size_t pieceBytes) {
    const Sides sides = {&rows1, &rows2};
    const LineIndex rowCount = RowCountOf(rows1, rows2);
    const std::size_t most = std::min(pieceBytes, kFirstScreensBytes);
    std::size_t bytes = kKeys;
    LineIndex row = 0;
    for (; row < rowCount && row < kFirstScreensRows; ++row) {
        bytes += MostBytesOf(sides, row);
        if (row > 0 && bytes > most) {
            break;
        }
    }
    return row;
}

void WriteReportData(const TextDocument& rows1, const TextDocument& rows2, ChunkedOutput& out,
                     std::string_view between, std::size_t pieceBytes, LineIndex from,
                     LineIndex to) {
    const Sides sides = {&rows1, &rows2};
    const LineIndex rowCount = RowCountOf(rows1, rows2);
    to = std::min(to, rowCount);
    const std::vector<Piece> pieces = CutIntoPieces(sides, std::min(from, to), to, pieceBytes);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        out.Append(i == 0 ? std::string_view() : between);
        AppendPiece(sides, rowCount, pieces[i], out);
    }
}

void AppendJsonString(std::string_view bytes, ChunkedOutput& out) {
    out.Append('"');
    AppendJsonStringContent(bytes, out);
    out.Append('"');
}

void AppendJsonStringContent(std::string_view bytes, ChunkedOutput& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = FindEscapeByte(bytes, at);
        out.Append(bytes.substr(at, end - at));
        if (end == bytes.size()) {
            break;
        }
        AppendEscape(static_cast<unsigned char>(bytes[end]), out);
        at = end + 1;
    }
}

}  // namespace tandemix
