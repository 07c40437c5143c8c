#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tandemix {

// The background of changed, added and deleted rows: one definition for the side pages, the
// top page's styles and legend, and the container.
inline constexpr std::string_view kChangedColour = "#FFEEBB";
inline constexpr std::string_view kAddedColour = "#CCEECC";
inline constexpr std::string_view kDeletedColour = "#EECCCC";

struct RowColour {
    std::string_view styleClass;
    std::string_view colour;
    std::string_view legendWord;  // as the legend writes it, with entities
};

inline constexpr std::array<RowColour, 3> kRowColours = {{
    {"C", kChangedColour, "ge&auml;ndert"},
    {"A", kAddedColour, "hinzugef&uuml;gt"},
    {"D", kDeletedColour, "gel&ouml;scht"},
}};

// ".C { <property>:#FFEEBB; }" and so on, one line each, in the order C, A, D.
inline void AppendRowColourRules(std::string& out, std::string_view property) {
    for (const RowColour& row : kRowColours) {
        out.append(".").append(row.styleClass).append(" { ").append(property).append(":");
        out.append(row.colour).append("; }\r\n");
    }
}

}  // namespace tandemix
