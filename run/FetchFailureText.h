#pragma once

#include <string>

#include "web/FetchFailure.h"

namespace tandemix {

// Why a page could not be fetched, in German: the second line of the message that the page
// does not exist or cannot be opened, shaped as the file messages' reasons are.
std::string FetchFailureText(const FetchFailure& failure);

}  // namespace tandemix
