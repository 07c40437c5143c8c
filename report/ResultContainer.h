#pragma once

#include <string>
#include <string_view>

#include "base/MessageSink.h"
#include "report/OutputNames.h"

namespace tandemix {

enum class ContainerForm { Hta, Html };

// The fixed page that frames the top page and the two side pages.
std::string_view ContainerText();

// Writes the container page; a file that cannot be written is reported to the user and
// left as it was.
bool WriteResultContainer(const std::string& path, MessageSink& messages);

std::string_view ContainerName(ContainerForm form);

}  // namespace tandemix
