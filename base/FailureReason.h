#pragma once

#include <string>

namespace tandemix {

// The second line of a message about a file that could not be written into the output
// folder: what is wrong, in German, from the error number the system gave.
std::string WriteFailureReason(int errorNumber);

// The same for an input that could not be read.
std::string ReadFailureReason(int errorNumber);

// Why a path given as an input cannot be found.
std::string LookupFailureReason(int errorNumber);

}  // namespace tandemix
