#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// The files a comparison writes in the output directory: the framed report's three pages
// and its container in either form, the one-file report, and the fetched pages of the Web
// Pages kind, which stay there for the length of one comparison.
inline constexpr std::string_view kTopPageName = "~tandemixtop.htm";
inline constexpr std::string_view kPage1Name = "~tandemix1.htm";
inline constexpr std::string_view kPage2Name = "~tandemix2.htm";
inline constexpr std::string_view kHtaContainerName = "Tandemix.hta";
inline constexpr std::string_view kHtmlContainerName = "Tandemix.htm";
inline constexpr std::string_view kSingleReportName = "Tandemix-Bericht.html";
inline constexpr std::string_view kWebPage1Name = "~tandemixurl1";
inline constexpr std::string_view kWebPage2Name = "~tandemixurl2";

inline std::string OutputPath(const std::string& outputDirectory, std::string_view name) {
    std::string path = outputDirectory;
    path.push_back('/');
    return path.append(name);
}

}  // namespace tandemix
