#include "folders/BriefListing.h"

#include <algorithm>

namespace tandemix {
namespace {

std::string_view Word(EntryStatus status) {
    switch (status) {
        case EntryStatus::Changed:
            return "ge\xC3\xA4ndert";
        case EntryStatus::OnlyIn1:
            return "nur-in-1";
        case EntryStatus::OnlyIn2:
            return "nur-in-2";
        case EntryStatus::KindsDiffer:
            return "art";
        case EntryStatus::Unreadable:
            return "unlesbar";
        case EntryStatus::Moved:
            return "verschoben";
        case EntryStatus::Equal:
        case EntryStatus::EqualUnderOptions:
            break;
    }
    return {};
}

void AppendEscaped(std::string_view path, std::string& out) {
    for (const char c : path) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

std::string BriefListing(const TreeComparison& comparison) {
    std::string out;
    for (const TreeEntry& entry : comparison.entries) {
        if (!IsOwnDifference(entry)) {
            continue;
        }
        out.append(Word(entry.status)).append("\t");
        AppendEscaped(entry.path, out);
        if (entry.status == EntryStatus::Moved) {
            out += '\t';
            AppendEscaped(entry.movedTo, out);
        }
        out += '\n';
    }
    return out;
}

bool Incomplete(const TreeComparison& comparison) {
    const auto unreadable = [](const TreeEntry& entry) {
        return entry.status == EntryStatus::Unreadable;
    };
    return std::any_of(comparison.entries.begin(), comparison.entries.end(), unreadable) ||
           comparison.walks[0].stoppedAfter || comparison.walks[1].stoppedAfter ||
           comparison.walks[0].unreadableFiles > 0 || comparison.walks[1].unreadableFiles > 0;
}

}  // namespace tandemix
