#pragma once

#include <string>
#include <string_view>

#include "base/MessageSink.h"

namespace tandemix {

enum class ContainerForm { Hta, Html };

// The fixed page that frames the top page and the two side pages.
std::string_view ContainerText();

// Writes the container page; a file that cannot be written is reported to the user and
// left as it was.
bool WriteResultContainer(const std::string& path, MessageSink& messages);

// File names in the output directory.
inline constexpr std::string_view kTopPageName = "~tandemixtop.htm";
inline constexpr std::string_view kPage1Name = "~tandemix1.htm";
inline constexpr std::string_view kPage2Name = "~tandemix2.htm";
inline constexpr std::string_view kHtaContainerName = "Tandemix.hta";
inline constexpr std::string_view kHtmlContainerName = "Tandemix.htm";

std::string OutputPath(const std::string& outputDirectory, std::string_view name);
std::string_view ContainerName(ContainerForm form);

}  // namespace tandemix
