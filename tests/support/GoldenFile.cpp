#include "support/GoldenFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace tandemix::testing {

void ExpectGoldenFile(const std::string& name, std::string_view actual) {
    const std::filesystem::path path = std::filesystem::path(TANDEMIX_TEST_DATA) / name;
    if (std::getenv("TANDEMIX_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(actual.data(), std::ssize(actual));
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing";
    const std::string expected = ReadWholeFile(path.string());
    if (expected == actual) {
        return;
    }
    const auto [at, ignored] =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const auto offset = static_cast<std::size_t>(at - expected.begin());
    const std::size_t from = offset < 40 ? 0 : offset - 40;
    ADD_FAILURE() << name << " differs from byte " << offset << " on (" << expected.size()
                  << " bytes expected, " << actual.size() << " written)\n  expected: "
                  << ::testing::PrintToString(expected.substr(from, 120)) << "\n  written:  "
                  << ::testing::PrintToString(std::string(actual.substr(from, 120)));
}

}  // namespace tandemix::testing
