#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "cli/Application.h"

int main(int argc, char** argv) {
    const std::span<char*> all(argv, static_cast<std::size_t>(std::max(argc, 0)));
    const std::vector<std::string> arguments(all.begin() + std::min<std::ptrdiff_t>(1, argc),
                                             all.end());
    return tandemix::cli::RunApplication(arguments);
}
